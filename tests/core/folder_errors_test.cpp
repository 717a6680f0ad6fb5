// Folders that cannot be listed to their end, and file systems whose folder identities cannot
// be trusted: the search keeps what it could list and says what it could not.
#include "core/run.h"
#include "core/walk.h"
#include "memory_file_system.h"
#include "slow_file_system.h"

#include <gtest/gtest.h>

using namespace tovaro;

namespace {

std::string Everything()
{
    return "*";
}

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
        ScopedFileSystem scoped(disk);
        disk.AddFile("/s/a.htm", "");
        disk.AddFile("/s/d/b.htm", "");
        disk.AddFile("/s/d/c.htm", "");
        disk.AddFile("/s/e.htm", "");
        disk.FailListingAfter(c.failing, 1);
        const TreeListing listing = CollectMatchingFiles("/s", Everything);
        EXPECT_EQ(listing.files, c.files) << c.failing;
        EXPECT_EQ(listing.unlisted, c.unlisted) << c.failing;
        EXPECT_EQ(listing.startFailure.kind, c.startFailure.kind) << c.failing;
    }
}

TEST(FolderErrorsTest, TheRunReportsEveryUnlistedFolderFirst)
{
    test::MemoryFileSystem disk(PathStyle::Posix, "/");
    ScopedFileSystem scoped(disk);
    disk.AddFile("/s/a.htm", "<head><title>t</title></head>");
    RunInputs in;
    in.files = { "/s/a.htm" };
    in.siteDir = "/s";
    in.outputPath = "/s/lookup.htm";
    in.unlistedFolders = { { "/s/d", kIoError }, { "/s/zu", { FailureKind::NoPermission, 0 } } };
    Lines sink;
    const RunResult result = RunGeneration(in, sink);
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
        ScopedFileSystem scoped(late);
        const TreeListing listing = CollectMatchingFiles("/s", Everything);
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
    ScopedFileSystem scoped(share);
    const TreeListing listing = CollectMatchingFiles("/w", Everything);
    EXPECT_EQ(listing.files, expected);
    // The folders have no subfolders: only the siblings can be in flight together.
    EXPECT_GE(share.mostListingsInFlight.load(), 8u);
}
