#include "core/paths.h"
#include "test_util.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tovaro;

TEST(PathsTest, AbsoluteAndLexicallyNormalised)
{
    EXPECT_EQ(AbsolutePath("a.htm", "/site"), "/site/a.htm");
    EXPECT_EQ(AbsolutePath("docs/../b/./c.htm", "/site"), "/site/b/c.htm");
    EXPECT_EQ(AbsolutePath("//x//y/", "/site"), "/x/y");
    EXPECT_EQ(AbsolutePath("../../..", "/site"), "/");
    EXPECT_EQ(AbsolutePath(".", "/"), "/");
    // Absolute paths: normal ones stay as they are, others are normalised all the same.
    EXPECT_EQ(AbsolutePath("/s/.hidden/..x/a.htm", "/c"), "/s/.hidden/..x/a.htm");
    EXPECT_EQ(AbsolutePath("/s/./a/../b.htm", "/c"), "/s/b.htm");
    EXPECT_EQ(AbsolutePath("/s/a/..", "/c"), "/s");
    EXPECT_EQ(AbsolutePath("/s/a/.", "/c"), "/s/a");
    EXPECT_EQ(AbsolutePath("/s/", "/c"), "/s");
    EXPECT_EQ(AbsolutePath("/", "/c"), "/");
}

TEST(PathsTest, ParentDirectory)
{
    EXPECT_EQ(ParentDirectory("/lookup.htm"), "/");
    EXPECT_EQ(ParentDirectory("/site/lookup.htm"), "/site");
}

TEST(PathsTest, DefaultOutputPathNeedsAWritableProgramFolder)
{
    test::TempDir dir;
    EXPECT_EQ(DefaultOutputPath(dir.path(), "/home/anna"), dir.path() + "/lookup.htm");
    // An installed program's folder that the user cannot write: the page goes home.
    EXPECT_EQ(DefaultOutputPath(dir.path() + "/fehlt", "/home/anna"), "/home/anna/lookup.htm");
    pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(99);
        ::_exit(DefaultOutputPath("/usr/bin", "/home/anna") == "/home/anna/lookup.htm" ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
