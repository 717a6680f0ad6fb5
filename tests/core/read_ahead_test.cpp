// Reads with several requests in flight: whatever the timing, the same page, the same lines in
// the same order, the same search result; and no more results waiting than the window holds.
#include "core/read_ahead.h"
#include "core/run.h"
#include "core/walk.h"
#include "memory_file_system.h"
#include "slow_file_system.h"
#include "test_util.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <new>
#include <random>
#include <sstream>
#include <thread>

using namespace tovaro;

namespace {

class Lines : public RunSink {
public:
    void FileStarted(size_t index, const std::string&) override { started.push_back(index); }
    void StatusLine(const std::string& line) override { lines.push_back(line); }
    std::vector<size_t> started;
    std::vector<std::string> lines;
};

// A site of 200 files: every 7th lacks its keywords, every 11th is missing.
struct Site {
    test::MemoryFileSystem disk { PathStyle::Posix, "/site" };
    RunInputs in;
    std::vector<std::string> expectedLines;
    std::vector<std::string> expectedUrls;
    std::vector<std::string> lineOf; // each file's status line, or empty

    Site()
    {
        for (int i = 0; i < 200; ++i) {
            const std::string name
                = "s" + std::to_string(i % 9) + "/p" + std::to_string(i) + ".htm";
            const std::string path = "/site/" + name;
            in.files.push_back(path);
            const bool incomplete = i % 7 == 3;
            if (i % 11 == 5) {
                lineOf.push_back(
                    "Nicht lesbar: " + path + " (Der Ordner oder die Datei existiert nicht)");
            } else {
                disk.AddFile(path, test::Page("T" + std::to_string(i), incomplete ? "" : "k"));
                lineOf.push_back(incomplete ? "Fehlend: Keywords " + path : "");
            }
            if (!lineOf.back().empty())
                expectedLines.push_back(lineOf.back());
            else
                expectedUrls.push_back(name);
        }
        in.siteDir = "/site";
        in.outputPath = "/site/lookup.htm";
    }
};

// `count` pages in one folder, page i titled "T<i>", and their paths in order.
std::vector<std::string> TitledPages(test::MemoryFileSystem& disk, int count)
{
    std::vector<std::string> files;
    for (int i = 0; i < count; ++i) {
        files.push_back("/site/p" + std::to_string(i) + ".htm");
        disk.AddFile(files.back(), test::Page("T" + std::to_string(i)));
    }
    return files;
}

} // namespace

TEST(ReadAheadTest, TheRunGivesTheSamePageWhateverTheTiming)
{
    Site site;
    test::SlowFileSystem jittery(site.disk);
    std::string first;
    for (int run = 0; run < 12; ++run) {
        Lines sink;
        RunResult result = RunGeneration(jittery, site.in, sink);
        ASSERT_TRUE(result.written) << result.failure.code;
        EXPECT_EQ(sink.lines, site.expectedLines);
        ASSERT_EQ(sink.started.size(), site.in.files.size());
        for (size_t i = 0; i < sink.started.size(); ++i)
            ASSERT_EQ(sink.started[i], i);
        const std::string page = site.disk.Content(site.in.outputPath);
        EXPECT_EQ(test::Urls(page), site.expectedUrls);
        if (run == 0)
            first = page;
        EXPECT_EQ(page, first) << "run " << run;
    }
}

TEST(ReadAheadTest, AFailureInTheMiddleIsHandledAsOneFileAfterTheOther)
{
    Site site;
    test::SlowFileSystem jittery(site.disk);
    // A read error: that file is unreadable, in its place among the lines.
    jittery.failingRead = site.in.files[100];
    Lines sink;
    ASSERT_TRUE(RunGeneration(jittery, site.in, sink).written);
    ASSERT_EQ(site.lineOf[100], ""); // a complete page, until its read fails
    std::vector<std::string> expected;
    for (size_t i = 0; i < site.lineOf.size(); ++i) {
        if (i == 100)
            expected.push_back("Nicht lesbar: " + site.in.files[100]
                + " (Ein-/Ausgabefehler beim Zugriff auf den Datenträger)");
        else if (!site.lineOf[i].empty())
            expected.push_back(site.lineOf[i]);
    }
    EXPECT_EQ(sink.lines, expected);

    // Out of memory on one file: the old page stays and the run says why.
    site.disk.AddFile(site.in.outputPath, "alt");
    jittery.failingRead.clear();
    jittery.outOfMemory = site.in.files[150];
    Lines again;
    RunResult result = RunGeneration(jittery, site.in, again);
    EXPECT_FALSE(result.written);
    EXPECT_EQ(result.failure.kind, FailureKind::OutOfMemory);
    EXPECT_EQ(site.disk.Content(site.in.outputPath), "alt");
}

TEST(ReadAheadTest, NoMoreResultsWaitThanTheWindowHolds)
{
    Site site;
    test::SlowFileSystem jittery(site.disk);
    const size_t window = 8;
    HeadReadAhead heads(jittery, site.in.files, nullptr, 4, window);
    for (size_t i = 0; i < site.in.files.size(); i += 20) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_LE(jittery.opened.load(), i + window) << i;
        for (size_t k = i; k < i + 20; ++k)
            heads.Take(k);
    }
}

TEST(ReadAheadTest, TheSearchGivesTheSameListWhateverTheTiming)
{
    test::MemoryFileSystem disk(PathStyle::Posix, "/");
    std::vector<std::string> expected;
    // Folders three deep, files before, between and after them, a link back up the tree and a
    // folder that cannot be listed.
    for (int a = 0; a < 4; ++a) {
        for (int b = 0; b < 4; ++b) {
            const std::string folder = "/t/a" + std::to_string(a) + "/b" + std::to_string(b);
            for (int c = 0; c < 3; ++c) {
                const std::string path = folder + "/c" + std::to_string(c) + ".htm";
                disk.AddFile(path, "");
                expected.push_back(path);
            }
            if (b == 1)
                disk.AddFolderLink(folder + "/hoch", "/t");
            if (b == 2)
                disk.MakeUnlistable(folder + "/zu");
            disk.AddFile(folder + "/z.htm", "");
            expected.push_back(folder + "/z.htm");
        }
    }
    test::SlowFileSystem jittery(disk);
    for (int run = 0; run < 12; ++run) {
        TreeListing listing = CollectMatchingFiles(jittery, "/t", "*");
        EXPECT_EQ(listing.files, expected) << "run " << run;
        EXPECT_EQ(listing.unlisted.size(), 4u);
        EXPECT_EQ(listing.unlisted.front().path, "/t/a0/b2/zu");
    }
}

TEST(ReadAheadTest, TheProbeGoesByTheMiddleOfEightTimedRequests)
{
    using std::chrono::microseconds;
    struct Case {
        const char* what;
        std::vector<int> micros; // the times of the requests timed, in order
        bool slow; // whether the probe says so at the last of them
    };
    const Case cases[] = {
        { "a slow first request on a fast disk", { 5000, 5, 5, 5, 5, 5, 5, 5 }, false },
        { "three slow requests of eight", { 500, 500, 500, 5, 5, 5, 5, 5 }, false },
        { "a share", { 900, 1100, 1000, 950, 5, 1200, 1000, 1000 }, true },
        { "a share reached after a fast part",
            { 5, 5, 5, 5, 5, 5, 5, 5, 900, 900, 900, 900, 900, 900, 900, 900 }, true },
    };
    for (const Case& c : cases) {
        LatencyProbe probe(microseconds(100));
        bool slow = false;
        for (int t : c.micros)
            slow = probe.Slow(microseconds(t));
        EXPECT_EQ(slow, c.slow) << c.what;
    }
    // Every request is timed at first, then every eighth.
    EXPECT_TRUE(LatencyProbe::Times(63));
    EXPECT_FALSE(LatencyProbe::Times(65));
    EXPECT_TRUE(LatencyProbe::Times(72));
}

// On a fast disk the readers take on a batch of files at a time; whatever their number and the
// window, every head arrives in its place and no more wait than the window holds.
TEST(ReadAheadTest, BatchesOfAFastDiskArriveInTheirPlaces)
{
    test::MemoryFileSystem disk(PathStyle::Posix, "/site");
    const std::vector<std::string> files = TitledPages(disk, 600);
    struct Case {
        size_t readers;
        size_t window;
    };
    for (const Case c : { Case { 1, 48 }, Case { 2, 48 }, Case { 4, 8 }, Case { 3, 5 } }) {
        test::SlowFileSystem counted(disk, std::chrono::microseconds(0));
        HeadReadAhead heads(counted, files, nullptr, 24, c.window, c.readers);
        for (size_t i = 0; i < files.size(); ++i) {
            EXPECT_LE(counted.opened.load(), i + c.window) << c.readers << " readers, at " << i;
            ReadResult read = heads.Take(i);
            ASSERT_EQ(read.fields.title, "T" + std::to_string(i)) << c.readers << " readers";
        }
        // All but the first, timed ones were read by the readers.
        EXPECT_EQ(counted.openedByOthers.load(), files.size() - 64) << c.readers << " readers";
    }
}

TEST(ReadAheadTest, ASlowPartAfterAFastOneGetsManyRequestsInFlight)
{
    test::MemoryFileSystem disk(PathStyle::Posix, "/site");
    const std::vector<std::string> files = TitledPages(disk, 700);
    // A local part, then a share answering after 1 ms.
    test::SlowFileSystem share(disk, std::chrono::microseconds(1000), false);
    share.fastOpens = 200;
    HeadReadAhead heads(share, files, nullptr, 24, 48, 2);
    for (size_t i = 0; i < files.size(); ++i)
        ASSERT_EQ(heads.Take(i).fields.title, "T" + std::to_string(i));
    EXPECT_GE(share.mostOpensInFlight.load(), 8u);
}
