#include "core/error_text.h"
#include "core/output_file.h"
#include "test_util.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tovaro;

namespace {

size_t CountEntries(const std::string& dir)
{
    size_t n = 0;
    DIR* d = ::opendir(dir.c_str());
    while (dirent* e = ::readdir(d))
        n += e->d_name[0] != '.' || (e->d_name[1] != '\0' && e->d_name[1] != '.');
    ::closedir(d);
    return n;
}

} // namespace

TEST(AtomicFileStoreTest, CreatesAndReplaces)
{
    test::TempDir dir;
    std::string p = dir.path() + "/lookup.htm";
    AtomicFileStore store;
    EXPECT_EQ(store.Replace(p, "eins"), "");
    EXPECT_EQ(store.Replace(p, "zwei"), "");
    EXPECT_EQ(test::ReadFile(p), "zwei");
    EXPECT_EQ(CountEntries(dir.path()), 1u); // no temporary file left behind
}

TEST(AtomicFileStoreTest, NewPageIsReadableByOthers)
{
    test::TempDir dir;
    std::string p = dir.path() + "/lookup.htm";
    mode_t old = ::umask(022);
    AtomicFileStore store;
    ASSERT_EQ(store.Replace(p, "x"), "");
    ::umask(old);
    struct stat st { };
    ASSERT_EQ(::stat(p.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST(AtomicFileStoreTest, WriteFailingHalfWayKeepsTheOldPage)
{
    test::TempDir dir;
    std::string p = dir.Write("lookup.htm", "alte Suchseite");
    test::FailingWriteStore store(3, ENOSPC);
    std::string error = store.Replace(p, std::string(100000, 'n'));
    EXPECT_EQ(error, ErrorText(ENOSPC));
    EXPECT_EQ(test::ReadFile(p), "alte Suchseite");
    EXPECT_EQ(CountEntries(dir.path()), 1u);
}

TEST(AtomicFileStoreTest, UnwritableTargetsReportTheReason)
{
    test::TempDir dir;
    AtomicFileStore store;
    EXPECT_EQ(store.Replace(dir.path() + "/fehlt/lookup.htm", "x"), ErrorText(ENOENT));
    std::string sub = dir.Mkdir("ordner");
    EXPECT_EQ(store.Replace(sub, "x"), ErrorText(EISDIR));
    EXPECT_NE(store.Replace("", "x"), "");
}

TEST(AtomicFileStoreTest, LinkIsReplacedAtItsTarget)
{
    test::TempDir dir;
    std::string target = dir.Write("echt.htm", "alt");
    std::string link = dir.path() + "/lookup.htm";
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    AtomicFileStore store;
    ASSERT_EQ(store.Replace(link, "neu"), "");
    EXPECT_EQ(test::ReadFile(target), "neu");
    struct stat st { };
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST(AtomicFileStoreTest, OnlyRegularFilesAreReplaced)
{
    test::TempDir dir;
    AtomicFileStore store;
    const std::string fifo = dir.path() + "/rohr.htm";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(store.Replace(fifo, "x"), kNotRegularReason); // returns, does not block
    struct stat st { };
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    if (::geteuid() == 0) {
        // A device node of our own, with the numbers of /dev/null.
        const std::string dev = dir.path() + "/geraet.htm";
        ASSERT_EQ(::mknod(dev.c_str(), S_IFCHR | 0600, makedev(1, 3)), 0);
        EXPECT_EQ(store.Replace(dev, "x"), kNotRegularReason);
        ASSERT_EQ(::lstat(dev.c_str(), &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode));
    }
    // A name ending in "/" names a folder; no file is made.
    EXPECT_EQ(store.Replace(dir.path() + "/neu/", "x"), kFolderNameReason);
    EXPECT_FALSE(test::FileExists(dir.path() + "/neu"));
    EXPECT_EQ(CountEntries(dir.path()), ::geteuid() == 0 ? 2u : 1u);
}

TEST(AtomicFileStoreTest, LinksOfOtherUsersAreNotFollowed)
{
    test::TempDir dir;
    AtomicFileStore store;
    // A link of our own to a missing file creates that file.
    const std::string own = dir.path() + "/eigen.htm";
    ASSERT_EQ(::symlink("ziel.htm", own.c_str()), 0);
    ASSERT_EQ(store.Replace(own, "neu"), "");
    EXPECT_EQ(test::ReadFile(dir.path() + "/ziel.htm"), "neu");

    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a link to another user";
    const std::string victim = dir.Write("fremd-ziel.htm", "geheim");
    const std::string planted = dir.path() + "/lookup.htm";
    ASSERT_EQ(::symlink(victim.c_str(), planted.c_str()), 0);
    ASSERT_EQ(::lchown(planted.c_str(), 65534, 65534), 0);
    EXPECT_EQ(store.Replace(planted, "neu"), kForeignLinkReason);
    EXPECT_EQ(test::ReadFile(victim), "geheim");
}

TEST(AtomicFileStoreTest, NoSpecialModeBitsAndLongNamesWork)
{
    test::TempDir dir;
    AtomicFileStore store;
    const std::string p = dir.Write("lookup.htm", "alt");
    ASSERT_EQ(::chmod(p.c_str(), 07755), 0);
    ASSERT_EQ(store.Replace(p, "neu"), "");
    struct stat st { };
    ASSERT_EQ(::stat(p.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);

    const std::string longName = dir.path() + "/" + std::string(251, 'l') + ".htm"; // 255 bytes
    ASSERT_EQ(store.Replace(longName, "lang"), "");
    EXPECT_EQ(test::ReadFile(longName), "lang");
}

TEST(AtomicFileStoreTest, InterruptedOrTooLargeWritesLeaveNoTemporaryFile)
{
    test::TempDir dir;
    const std::string p = dir.Write("lookup.htm", "alt");
    // Stopped by SIGTERM half-way through the write.
    pid_t pid = ::fork();
    if (pid == 0) {
        test::FailingWriteStore store(50000, 0, SIGTERM);
        store.Replace(p, std::string(100000, 'n'));
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);

    // A file-size limit is a write error, not the end of the process.
    pid = ::fork();
    if (pid == 0) {
        struct rlimit limit {
            1000, 1000
        };
        ::setrlimit(RLIMIT_FSIZE, &limit);
        AtomicFileStore store;
        ::_exit(store.Replace(p, std::string(100000, 'n')) == ErrorText(EFBIG) ? 0 : 1);
    }
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    EXPECT_EQ(test::ReadFile(p), "alt");
    EXPECT_EQ(CountEntries(dir.path()), 1u);
}
