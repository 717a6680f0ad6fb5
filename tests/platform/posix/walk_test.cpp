#include "core/walk.h"
#include "test_util.h"

#include <algorithm>
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tovaro;

namespace {

std::vector<std::string> ListingOrder(const std::string& dir)
{
    std::vector<std::string> names;
    DIR* d = ::opendir(dir.c_str());
    while (dirent* e = ::readdir(d)) {
        std::string n = e->d_name;
        if (n != "." && n != "..")
            names.push_back(n);
    }
    ::closedir(d);
    return names;
}

std::vector<std::string> Sorted(std::vector<std::string> v)
{
    std::sort(v.begin(), v.end());
    return v;
}

} // namespace

TEST(FilterTest, NormalisedToASuffix)
{
    EXPECT_EQ(NormaliseFilter("*.*"), "*");
    EXPECT_EQ(NormaliseFilter("*.htm"), "HTM");
    EXPECT_EQ(NormaliseFilter("  *.ht*  "), "HT*");
    EXPECT_EQ(NormaliseFilter("htm"), "HTM");
    EXPECT_EQ(NormaliseFilter("*"), "*");
    EXPECT_EQ(NormaliseFilter("   "), "");
}

TEST(FilterTest, SuffixIsComparedLiterally)
{
    EXPECT_TRUE(MatchesSuffix("index.htm", "HTM"));
    EXPECT_TRUE(MatchesSuffix("INDEX.HTM", "HTM"));
    EXPECT_TRUE(MatchesSuffix("page.xhtm", "HTM"));
    EXPECT_FALSE(MatchesSuffix("index.html", "HTM"));
    EXPECT_FALSE(MatchesSuffix("index.html", "HT*"));
    EXPECT_FALSE(MatchesSuffix("tm", "HTM"));
    EXPECT_TRUE(MatchesSuffix("x", ""));
}

TEST(CollectFilesTest, DepthFirstInListingOrder)
{
    test::TempDir dir;
    std::string s = dir.Mkdir("s");
    dir.Write("s/a.htm", "");
    dir.Write("s/d/b.htm", "");
    dir.Write("s/d/e/f.htm", "");
    dir.Write("s/c.htm", "");
    dir.Mkdir("s/leer");

    std::vector<std::string> expected;
    for (const std::string& n : ListingOrder(s)) {
        if (n == "d") {
            for (const std::string& m : ListingOrder(s + "/d")) {
                if (m == "e")
                    expected.push_back(s + "/d/e/f.htm");
                else
                    expected.push_back(s + "/d/" + m);
            }
        } else if (n != "leer") {
            expected.push_back(s + "/" + n);
        }
    }
    EXPECT_EQ(CollectFiles(test::NativeDisk(), s, "*.*"), expected);
    // A closing separator on the start directory gives the same paths.
    EXPECT_EQ(CollectFiles(test::NativeDisk(), s + "/", "*.*"), expected);
}

TEST(CollectFilesTest, FiltersAndEmptyResults)
{
    test::TempDir dir;
    dir.Write("index.htm", "");
    dir.Write("INDEX2.HTM", "");
    dir.Write("page.xhtm", "");
    dir.Write("index.html", "");
    const std::string& p = dir.path();
    EXPECT_EQ(Sorted(CollectFiles(test::NativeDisk(), p, "*.htm")),
        Sorted({ p + "/INDEX2.HTM", p + "/index.htm", p + "/page.xhtm" }));
    EXPECT_TRUE(CollectFiles(test::NativeDisk(), p, "*.ht*").empty());
    EXPECT_EQ(CollectFiles(test::NativeDisk(), p, "").size(), 4u);
    EXPECT_EQ(CollectFiles(test::NativeDisk(), p, "*").size(), 4u);
    EXPECT_TRUE(CollectFiles(test::NativeDisk(), p + "/gibt-es-nicht", "*.*").empty());
    EXPECT_TRUE(CollectFiles(test::NativeDisk(), dir.Mkdir("leer/leerer"), "*.*").empty());
}

TEST(CollectFilesTest, HiddenEntriesAreFound)
{
    test::TempDir dir;
    dir.Write(".versteckt.htm", "");
    dir.Write(".ordner/x.htm", "");
    EXPECT_EQ(Sorted(CollectFiles(test::NativeDisk(), dir.path(), "*.*")),
        Sorted({ dir.path() + "/.versteckt.htm", dir.path() + "/.ordner/x.htm" }));
}

TEST(CollectFilesTest, LinksEndOnCyclesAndCountAsFilesWhenNotDirectories)
{
    test::TempDir dir;
    std::string root = dir.Mkdir("r");
    dir.Write("r/a.htm", "");
    dir.Write("r/sub/b.htm", "");
    ASSERT_EQ(::symlink(root.c_str(), (root + "/sub/zurueck").c_str()), 0);
    ASSERT_EQ(::symlink((root + "/sub").c_str(), (root + "/kurz").c_str()), 0);
    ASSERT_EQ(::symlink((root + "/a.htm").c_str(), (root + "/link.htm").c_str()), 0);
    ASSERT_EQ(::symlink((root + "/nichts").c_str(), (root + "/tot.htm").c_str()), 0);

    std::vector<std::string> found = CollectFiles(test::NativeDisk(), root, "*.*");
    // sub/b.htm is found once, through whichever of sub and kurz is listed first.
    ASSERT_EQ(found.size(), 4u);
    std::vector<std::string> names;
    for (const auto& f : found)
        names.push_back(f.substr(f.rfind('/') + 1));
    EXPECT_EQ(Sorted(names), Sorted({ "a.htm", "b.htm", "link.htm", "tot.htm" }));
}

TEST(CollectFilesTest, DeepTreeEnds)
{
    test::TempDir dir;
    std::string p = dir.path();
    for (int i = 0; i < 1000; ++i)
        p += "/d";
    dir.Mkdir(p.substr(dir.path().size() + 1));
    dir.Write(p.substr(dir.path().size() + 1) + "/tief.htm", "");
    EXPECT_EQ(CollectFiles(test::NativeDisk(), dir.path(), "*.*"),
        std::vector<std::string> { p + "/tief.htm" });
}

TEST(CollectFilesTest, YieldsOncePerDirectoryAndOnceAtTheEnd)
{
    test::TempDir dir;
    dir.Write("a/x.htm", "");
    dir.Write("b/c/y.htm", "");
    int calls = 0;
    CollectFiles(test::NativeDisk(), dir.path(), "*.*", [&] { ++calls; });
    EXPECT_EQ(calls, 5); // root, a, b, c, and the end
}

TEST(CollectFilesTest, ASearchStartedFromTheYieldCompletesFirst)
{
    test::TempDir dir;
    dir.Write("a/x.htm", "");
    dir.Write("b/y.htm", "");
    std::vector<std::string> inner;
    bool started = false;
    std::vector<std::string> outer = CollectFiles(test::NativeDisk(), dir.path(), "*.*", [&] {
        if (!started) {
            started = true;
            inner = CollectFiles(test::NativeDisk(), dir.path() + "/b", "*.*");
        }
    });
    EXPECT_EQ(inner, std::vector<std::string> { dir.path() + "/b/y.htm" });
    EXPECT_EQ(outer.size(), 2u);
}

TEST(ListingTest, FilesAndDirectoriesApartWithoutHiddenOnes)
{
    test::TempDir dir;
    dir.Write("a.htm", "");
    dir.Write("sub/b.htm", "");
    dir.Write(".versteckt.htm", "");
    dir.Mkdir(".git");
    EXPECT_EQ(ListFileNames(test::NativeDisk(), dir.path()), std::vector<std::string> { "a.htm" });
    EXPECT_EQ(
        ListDirectoryNames(test::NativeDisk(), dir.path()), std::vector<std::string> { "sub" });
    EXPECT_TRUE(ListFileNames(test::NativeDisk(), dir.path() + "/fehlt").empty());
}

// A link to a folder the user may not enter (here: a folder inside one of root's, mode 700):
// examining it fails, and the folder is reported, never taken for "no folder".
TEST(CollectMatchingFilesTest, ALinkIntoAFolderOutOfReachIsReported)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to set the scene for another user";
    test::TempDir dir;
    ::chmod(dir.path().c_str(), 0755);
    dir.Write("site/a.htm", "");
    dir.Write("locked/docs/b.htm", "");
    ::chmod((dir.path() + "/locked").c_str(), 0700);
    const std::string link = dir.path() + "/site/docs";
    ASSERT_EQ(::symlink((dir.path() + "/locked/docs").c_str(), link.c_str()), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(99);
        const TreeListing listing
            = CollectMatchingFiles(test::NativeDisk(), dir.path() + "/site", "*.htm");
        const bool files = listing.files == std::vector<std::string> { dir.path() + "/site/a.htm" };
        const bool reported = listing.unlisted.size() == 1 && listing.unlisted[0].path == link
            && listing.unlisted[0].failure.kind == FailureKind::NoPermission;
        ::_exit(files ? (reported ? 0 : 2) : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: other files, 2: the folder not reported";
}
