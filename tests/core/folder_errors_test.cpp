// Folders that cannot be listed to their end, and file systems whose folder identities cannot
// be trusted: the search keeps what it could list and says what it could not.
#include "core/run.h"
#include "core/walk.h"
#include "memory_file_system.h"
#include "slow_file_system.h"

#include <gtest/gtest.h>

using namespace tovaro;

namespace {

const std::string kEverything = "*";

class Lines : public RunSink {
public:
    void StatusLine(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

const Failure kIoError { FailureKind::InputOutput, 0 };
const Failure kNone {};

} // namespace

TEST(FolderErrorsTest, AListingThatFailsIsReportedAndWhatItGaveIsKept)
{
    struct Case {
        const char* failing; // folder whose listing fails after one entry
        std::vector<std::string> files;
        std::vector<FolderProblem> unlisted;
        Failure startFailure;
    };
    const Case cases[] = {
        // In the middle of a subfolder: its first file stays, the rest of the tree is searched.
        { "/s/d", { "/s/a.htm", "/s/d/b.htm", "/s/e.htm" }, { { "/s/d", kIoError } }, kNone },
        // In the middle of the start folder: a part is never taken for the whole site.
        { "/s", {}, {}, kIoError },
    };
    for (const Case& c : cases) {
        test::MemoryFileSystem disk(PathStyle::Posix, "/");
        disk.AddFile("/s/a.htm", "");
        disk.AddFile("/s/d/b.htm", "");
        disk.AddFile("/s/d/c.htm", "");
        disk.AddFile("/s/e.htm", "");
        disk.FailListingAfter(c.failing, 1);
        const TreeListing listing = CollectMatchingFiles(disk, "/s", kEverything);
        EXPECT_EQ(listing.files, c.files) << c.failing;
        EXPECT_EQ(listing.unlisted, c.unlisted) << c.failing;
        EXPECT_EQ(listing.startFailure.kind, c.startFailure.kind) << c.failing;
    }
}

TEST(FolderErrorsTest, TheRunReportsEveryUnlistedFolderFirst)
{
    test::MemoryFileSystem disk(PathStyle::Posix, "/");
    disk.AddFile("/s/a.htm", "<head><title>t</title></head>");
    RunInputs in;
    in.files = { "/s/a.htm" };
    in.siteDir = "/s";
    in.outputPath = "/s/lookup.htm";
    in.unlistedFolders = { { "/s/d", kIoError }, { "/s/zu", { FailureKind::NoPermission, 0 } } };
    Lines sink;
    const RunResult result = RunGeneration(disk, in, sink);
    EXPECT_TRUE(result.written);
    EXPECT_EQ(result.unlistedFolders, 2u);
    ASSERT_EQ(sink.lines.size(), 3u);
    EXPECT_EQ(sink.lines[0],
        "Ordner nicht lesbar: /s/d (Ein-/Ausgabefehler beim Zugriff auf den Datenträger)");
    EXPECT_EQ(sink.lines[1], "Ordner nicht lesbar: /s/zu (Keine Berechtigung)");
    EXPECT_EQ(sink.lines[2], "Fehlend: Keywords, Description /s/a.htm");
}

TEST(FolderErrorsTest, FoldersOfOneIdentityAreToldApartByTheirRealPaths)
{
    for (bool slow : { false, true }) {
        test::MemoryFileSystem disk(PathStyle::Posix, "/");
        disk.sameFolderIds = true;
        disk.AddFile("/s/a/x.htm", "");
        disk.AddFile("/s/b/y.htm", "");
        disk.AddFile("/s/b/c/z.htm", "");
        // Links back up the tree and sideways still end the search, each folder searched once.
        disk.AddFolderLink("/s/b/c/hoch", "/s");
        disk.AddFolderLink("/s/quer", "/s/a");
        test::SlowFileSystem late(disk, std::chrono::microseconds(slow ? 300 : 0), false);
        const TreeListing listing = CollectMatchingFiles(late, "/s", kEverything);
        EXPECT_EQ(listing.files,
            (std::vector<std::string> { "/s/a/x.htm", "/s/b/y.htm", "/s/b/c/z.htm" }))
            << slow;
        EXPECT_TRUE(listing.unlisted.empty());
    }
}

TEST(FolderErrorsTest, SiblingsOfAWideFolderAreListedAheadOnASlowShare)
{
    test::MemoryFileSystem disk(PathStyle::Posix, "/");
    std::vector<std::string> expected;
    for (int i = 0; i < 200; ++i) {
        const std::string file = "/w/d" + std::to_string(i) + "/p.htm";
        disk.AddFile(file, "");
        expected.push_back(file);
    }
    test::SlowFileSystem share(disk, std::chrono::microseconds(1000), false);
    const TreeListing listing = CollectMatchingFiles(share, "/w", kEverything);
    EXPECT_EQ(listing.files, expected);
    // The folders have no subfolders: only the siblings can be in flight together.
    EXPECT_GE(share.mostListingsInFlight.load(), 8u);
}

TEST(FolderErrorsTest, AnEntryThatCannotBeExaminedIsReportedNeverDropped)
{
    const Failure noPermission { FailureKind::NoPermission, 13 };
    struct Case {
        const char* entry; // cannot be examined when its folder is listed
        std::vector<std::string> files;
        std::vector<FolderProblem> unlisted;
    };
    const Case cases[] = {
        // Perhaps a folder: its pages may be missing, so it is said.
        { "/s/docs", { "/s/a.htm", "/s/c.htm" }, { { "/s/docs", noPermission } } },
        { "/s/bild.png", { "/s/a.htm", "/s/docs/b.htm", "/s/c.htm" },
            { { "/s/bild.png", noPermission } } },
        // Named like a page: taken as one, so that the run says why it cannot be read.
        { "/s/c.htm", { "/s/a.htm", "/s/docs/b.htm", "/s/c.htm" }, {} },
    };
    for (const Case& c : cases) {
        test::MemoryFileSystem disk(PathStyle::Posix, "/");
        for (const char* file : { "/s/a.htm", "/s/docs/b.htm", "/s/bild.png", "/s/c.htm" })
            disk.AddFile(file, "");
        disk.FailExamining(c.entry, noPermission);
        const TreeListing listing = CollectMatchingFiles(disk, "/s", "*.htm");
        EXPECT_EQ(listing.files, c.files) << c.entry;
        EXPECT_EQ(listing.unlisted, c.unlisted) << c.entry;
    }
}

TEST(FolderErrorsTest, ANameThatAListingGivesTwiceIsTakenOnce)
{
    test::MemoryFileSystem disk(PathStyle::Posix, "/");
    for (const char* file : { "/s/a.htm", "/s/docs/b.htm", "/s/docs/c.htm", "/s/e.htm" })
        disk.AddFile(file, "");
    disk.ListTwice("/s");
    disk.ListTwice("/s/docs");
    const std::vector<std::string> once { "/s/a.htm", "/s/docs/b.htm", "/s/docs/c.htm",
        "/s/e.htm" };
    EXPECT_EQ(CollectMatchingFiles(disk, "/s", kEverything).files, once);
    EXPECT_EQ(CollectFiles(disk, "/s", "*.*"), once);
    EXPECT_EQ(ListFileNames(disk, "/s/docs"), (std::vector<std::string> { "b.htm", "c.htm" }));
    EXPECT_EQ(ListDirectoryNames(disk, "/s"), std::vector<std::string> { "docs" });
}
