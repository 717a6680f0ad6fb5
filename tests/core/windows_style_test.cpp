// The core with Windows paths, on any machine: a file system in memory stands in for the disk.
#include "core/run.h"
#include "core/walk.h"
#include "memory_file_system.h"
#include "test_util.h"

#include <gtest/gtest.h>

using namespace tovaro;

namespace {

class Lines : public RunSink {
public:
    void StatusLine(const std::string& line) override { lines.push_back(line); }
    void OutsideSite(const std::string& path) override { outside.push_back(path); }
    std::vector<std::string> lines;
    std::vector<std::string> outside;
};

} // namespace

TEST(WindowsStyleTest, TheSearchKeepsTheListingOrderDepthFirst)
{
    test::MemoryFileSystem disk(PathStyle::Windows, "C:\\");
    // The listing returns a.htm, then the folder d holding b.htm, then c.htm.
    disk.AddFile("C:\\s\\a.htm", "");
    disk.AddFile("C:\\s\\d\\b.htm", "");
    disk.AddFile("C:\\s\\c.htm", "");
    EXPECT_EQ(CollectFiles(disk, "C:\\s", "*.htm"),
        (std::vector<std::string> { "C:\\s\\a.htm", "C:\\s\\d\\b.htm", "C:\\s\\c.htm" }));
    // A start with its closing backslash, and a drive root: one backslash each time.
    EXPECT_EQ(CollectFiles(disk, "C:\\s\\", "*.*").front(), "C:\\s\\a.htm");
    disk.AddFile("E:\\x.htm", "");
    EXPECT_EQ(CollectFiles(disk, "E:\\", "*.*"), std::vector<std::string> { "E:\\x.htm" });
    // A junction back up the tree is listed once, and a folder that cannot be listed is
    // reported while the rest goes on.
    disk.AddFolderLink("C:\\s\\d\\zurück", "C:\\s");
    disk.MakeUnlistable("C:\\s\\d\\gesperrt");
    disk.AddFile("C:\\s\\e.htm", "");
    TreeListing listing = CollectMatchingFiles(disk, "C:\\s", "*.htm");
    EXPECT_EQ(listing.files,
        (std::vector<std::string> {
            "C:\\s\\a.htm", "C:\\s\\d\\b.htm", "C:\\s\\c.htm", "C:\\s\\e.htm" }));
    const std::vector<FolderProblem> unlisted { { "C:\\s\\d\\gesperrt",
        { FailureKind::NoPermission, 0 } } };
    EXPECT_EQ(listing.unlisted, unlisted);
    EXPECT_EQ(
        CollectMatchingFiles(disk, "C:\\fehlt", "*").startFailure.kind, FailureKind::NotFound);
}

TEST(WindowsStyleTest, TheRunLinksEveryPageWithSlashes)
{
    test::MemoryFileSystem disk(PathStyle::Windows, "C:\\site");
    disk.AddFile("C:\\site\\docs\\a.htm", test::Page("A"));
    disk.AddFile("C:\\site\\\xC3\x9C"
                 "ber.htm",
        test::Page("\xC3\x9C"
                   "ber"));
    disk.AddFile("D:\\other\\b.htm", test::Page("B"));
    disk.AddFile("C:\\site\\lookup.htm", test::Page("Alte Suche"));

    RunInputs in;
    in.files = { "C:\\site\\docs\\a.htm",
        "c:\\SITE\\\xC3\x9C"
        "ber.htm",
        "D:\\other\\b.htm", "C:\\site\\LOOKUP.htm", "C:\\site\\fehlt.htm" };
    in.siteDir = "C:\\site";
    in.outputPath = "C:\\site\\lookup.htm";
    in.webRoot = "https://www.example.org/";
    Lines sink;
    RunResult result = RunGeneration(disk, in, sink);
    ASSERT_TRUE(result.written) << result.failure.code;
    EXPECT_EQ(test::Urls(disk.Content(in.outputPath)),
        (std::vector<std::string> { "https://www.example.org/docs/a.htm",
            "https://www.example.org/\xC3\x9C"
            "ber.htm",
            "https://www.example.org/D%3A/other/b.htm" }));
    EXPECT_EQ(sink.outside, std::vector<std::string> { "D:\\other\\b.htm" });
    EXPECT_EQ(sink.lines,
        std::vector<std::string> {
            "Nicht lesbar: C:\\site\\fehlt.htm (Der Ordner oder die Datei existiert nicht)" });
}
