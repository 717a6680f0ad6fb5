// The Linux file system under the core: what only it can show (FIFOs, devices, links, users).
#include "core/head_scan.h"
#include "core/paths.h"
#include "test_util.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tovaro;

TEST(ReadPageFieldsTest, WhatIsNotAReadableFileIsUnreadable)
{
    test::TempDir dir;
    EXPECT_EQ(ReadPageFields(test::NativeDisk(), dir.path() + "/fehlt.htm").status,
        ReadStatus::Unreadable);
    EXPECT_EQ(
        ReadPageFields(test::NativeDisk(), dir.Mkdir("ordner.htm")).status, ReadStatus::Unreadable);
    std::string fifo = dir.path() + "/rohr.htm";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(ReadPageFields(test::NativeDisk(), fifo).status,
        ReadStatus::Unreadable); // returns, does not block
    EXPECT_EQ(ReadPageFields(test::NativeDisk(), "/dev/zero").status, ReadStatus::Unreadable);
    // A FIFO whose writer has already sent a whole head is no page either: what it yields
    // would depend on timing.
    const int writer = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    const std::string head = "<title>T</title><meta name=\"keywords\" content=\"k\"></head>";
    ASSERT_EQ(::write(writer, head.data(), head.size()), static_cast<ssize_t>(head.size()));
    EXPECT_EQ(ReadPageFields(test::NativeDisk(), fifo).status, ReadStatus::Unreadable);
    ::close(writer);
}

TEST(ReadPageFieldsTest, TheFileToSkipIsSkippedByAnyName)
{
    test::TempDir dir;
    const std::string page = dir.Write("lookup.htm", test::Page("Suche"));
    const std::string other = dir.Write("a.htm", test::Page("A"));
    const std::string hard = dir.path() + "/hart.htm";
    const std::string soft = dir.path() + "/weich.htm";
    ASSERT_EQ(::link(page.c_str(), hard.c_str()), 0);
    ASSERT_EQ(::symlink("lookup.htm", soft.c_str()), 0);
    struct stat st { };
    ASSERT_EQ(::stat(page.c_str(), &st), 0);
    const FileId id { st.st_dev, st.st_ino };
    for (const std::string& name : { page, hard, soft, dir.path() + "/./lookup.htm" })
        EXPECT_EQ(ReadPageFields(test::NativeDisk(), name, &id).status, ReadStatus::Skipped)
            << name;
    EXPECT_EQ(ReadPageFields(test::NativeDisk(), other, &id).status, ReadStatus::Ok);
    EXPECT_EQ(ReadPageFields(test::NativeDisk(), page).status, ReadStatus::Ok);
}

TEST(PathsTest, DefaultOutputPathNeedsAWritableProgramFolder)
{
    test::TempDir dir;
    EXPECT_EQ(DefaultOutputPath(test::NativeDisk(), dir.path(), "/home/anna"),
        dir.path() + "/lookup.htm");
    // An installed program's folder that the user cannot write: the page goes home.
    EXPECT_EQ(DefaultOutputPath(test::NativeDisk(), dir.path() + "/fehlt", "/home/anna"),
        "/home/anna/lookup.htm");
    pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(99);
        ::_exit(DefaultOutputPath(test::NativeDisk(), "/usr/bin", "/home/anna")
                    == "/home/anna/lookup.htm"
                ? 0
                : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
