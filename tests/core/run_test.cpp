#include "core/failure_text.h"
#include "core/page_writer.h"
#include "core/run.h"
#include "core/text.h"
#include "test_util.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tovaro;

namespace {

struct RecordingSink : RunSink {
    std::vector<std::string> events;
    void RunStarted(size_t n) override { events.push_back("start " + std::to_string(n)); }
    void FileStarted(size_t i, const std::string& path) override
    {
        events.push_back("file " + std::to_string(i) + " " + path);
    }
    void StatusLine(const std::string& line) override { events.push_back(line); }
};

std::string Expected(const Appearance& a, const std::vector<PageEntry>& entries)
{
    std::string head = test::Fixture("page_head.txt");
    std::string tail = test::Fixture("page_tail.txt");
    std::string out = head;
    for (size_t n = 0; n < entries.size(); ++n) {
        if (n % 1000 == 0)
            out += n == 0 ? "<script language=\"JavaScript\">\r\n"
                          : "</script>\r\n<script language=\"JavaScript\">\r\n";
        std::string e = test::Fixture("page_entry.txt");
        e = ReplaceAll(e, "{n}", std::to_string(n));
        e = ReplaceAll(e, "{URL}", entries[n].url);
        e = ReplaceAll(e, "{keywords}", entries[n].keywords);
        e = ReplaceAll(e, "{title}", entries[n].title);
        out += ReplaceAll(e, "{description}", entries[n].description);
    }
    if (!entries.empty())
        out += "</script>\r\n";
    out += ReplaceAll(tail, "{M}", std::to_string(entries.size()));
    out = ReplaceAll(out, "{heading}", a.heading);
    out = ReplaceAll(out, "{font face}", a.fontFace);
    out = ReplaceAll(out, "{font size}", a.fontSize);
    out = ReplaceAll(out, "{text colour}", a.textColour);
    return ReplaceAll(out, "{background colour}", a.backgroundColour);
}

class RunTest : public ::testing::Test {
protected:
    test::TempDir dir;
    RunInputs in;
    RecordingSink sink;

    void SetUp() override
    {
        in.siteDir = dir.Mkdir("site");
        in.outputPath = dir.path() + "/site/lookup.htm";
    }
};

} // namespace

TEST_F(RunTest, ThreeCompletePagesAreNumberedInListOrder)
{
    in.files = { dir.Write("site/a.htm", test::Page("Alpha", "Eins, Zwei", "Erste Seite")),
        dir.Write("site/docs/b.htm", test::Page("Beta", "drei", "Zweite Seite")),
        dir.Write("site/c.htm", test::Page("Gamma", "VIER", "Dritte Seite")) };
    in.webRoot = "http://www.example.org/";
    RunResult r = RunGeneration(test::NativeDisk(), in, sink);
    ASSERT_TRUE(r.written) << r.failure.code;
    EXPECT_EQ(r.entries, 3u);
    EXPECT_EQ(test::ReadFile(in.outputPath),
        Expected(Appearance {},
            { { "http://www.example.org/a.htm", "eins, zwei", "Alpha", "Erste Seite" },
                { "http://www.example.org/docs/b.htm", "drei", "Beta", "Zweite Seite" },
                { "http://www.example.org/c.htm", "vier", "Gamma", "Dritte Seite" } }));
    ASSERT_EQ(sink.events.size(), 4u);
    EXPECT_EQ(sink.events[0], "start 3");
    EXPECT_EQ(sink.events[2], "file 1 " + in.files[1]);
}

TEST_F(RunTest, IncompleteFilesAreReportedAndLeaveNoGap)
{
    Appearance a;
    a.heading = "Suche";
    a.backgroundColour = "#123456";
    in.appearance = a;
    in.files = { dir.Write("site/a.htm", test::Page("A", "a", "da")),
        dir.Write("site/b.htm", test::Page("B", "b", "")), dir.Write("site/c.htm", "<p>nichts</p>"),
        dir.Write("site/d.htm", test::Page("D", "d", "dd")) };
    RunResult r = RunGeneration(test::NativeDisk(), in, sink);
    ASSERT_TRUE(r.written);
    EXPECT_EQ(r.entries, 2u);
    EXPECT_EQ(r.incomplete, 2u);
    EXPECT_EQ(test::ReadFile(in.outputPath),
        Expected(a, { { "a.htm", "a", "A", "da" }, { "d.htm", "d", "D", "dd" } }));
    std::vector<std::string> lines;
    for (const auto& e : sink.events) {
        if (e.rfind("Fehlend: ", 0) == 0)
            lines.push_back(e);
    }
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Fehlend: Description " + in.files[1]);
    EXPECT_EQ(lines[1], "Fehlend: Titel, Keywords, Description " + in.files[2]);
}

// A field is missing when the cleaning leaves nothing of it, not only when the head had none: a
// title of apostrophes, keywords and a description of one (the second written as a reference).
TEST_F(RunTest, AFieldThatTheCleaningEmptiesIsMissing)
{
    in.files = { dir.Write("site/a.htm", test::Page("'''", "k", "d")),
        dir.Write("site/b.htm", test::Page("B", "'", "&apos;")),
        dir.Write("site/c.htm", test::Page("C", "k", "d")) };
    RunResult r = RunGeneration(test::NativeDisk(), in, sink);
    ASSERT_TRUE(r.written);
    EXPECT_EQ(r.entries, 1u);
    EXPECT_EQ(sink.events[2], "Fehlend: Titel " + in.files[0]);
    EXPECT_EQ(sink.events[4], "Fehlend: Keywords, Description " + in.files[1]);
    EXPECT_EQ(test::Urls(test::ReadFile(in.outputPath)), std::vector<std::string> { "c.htm" });
}

TEST(MissingFieldsTest, ListsOnlyWhatIsMissing)
{
    EXPECT_EQ(MissingFieldsLine("/p", "", "k", ""), "Fehlend: Titel, Description /p");
    EXPECT_EQ(MissingFieldsLine("/p", "t", "", "d"), "Fehlend: Keywords /p");
    EXPECT_EQ(MissingFieldsLine("/p", "t", "k", "d"), "");
}

TEST_F(RunTest, EmptyListWritesHeadAndTailOnlyWhereAllowed)
{
    RunResult refused = RunGeneration(test::NativeDisk(), in, sink);
    EXPECT_TRUE(refused.nothingSelected);
    EXPECT_FALSE(refused.written);
    EXPECT_FALSE(test::FileExists(in.outputPath));
    in.allowEmpty = true;
    RunResult r = RunGeneration(test::NativeDisk(), in, sink);
    ASSERT_TRUE(r.written);
    EXPECT_EQ(test::ReadFile(in.outputPath), Expected(Appearance {}, {}));
}

TEST_F(RunTest, UnreadableFilesGetTheirOwnLine)
{
    in.files = { dir.path() + "/site/weg.htm", dir.Mkdir("site/ordner"),
        dir.Write("site/ok.htm", test::Page("T", "k", "d")) };
    RunResult r = RunGeneration(test::NativeDisk(), in, sink);
    ASSERT_TRUE(r.written);
    EXPECT_EQ(r.unreadable, 2u);
    EXPECT_EQ(r.entries, 1u);
    EXPECT_EQ(sink.events[2],
        "Nicht lesbar: " + in.files[0] + " (Der Ordner oder die Datei existiert nicht)");
    EXPECT_EQ(sink.events[4], "Nicht lesbar: " + in.files[1] + " (Das ist ein Ordner)");
}

TEST_F(RunTest, OutputInMissingFolderIsAnErrorAndNoSuccess)
{
    in.outputPath = dir.path() + "/fehlt/lookup.htm";
    in.files = { dir.Write("site/a.htm", test::Page("A", "a", "a")) };
    RunResult r = RunGeneration(test::NativeDisk(), in, sink);
    EXPECT_FALSE(r.written);
    EXPECT_EQ(RunMessage(r, in, PathStyle::Posix),
        "Die Suchdatei konnte nicht erstellt werden: " + in.outputPath
            + "\nDer Ordner oder die Datei existiert nicht.");
    EXPECT_FALSE(test::FileExists(in.outputPath));
    EXPECT_EQ(sink.events.size(), 2u); // every file was still gone through
}

TEST_F(RunTest, SecondRunReplacesTheFirstPage)
{
    in.files = { dir.Write("site/a.htm", test::Page("A", "a", "a")) };
    ASSERT_TRUE(RunGeneration(test::NativeDisk(), in, sink).written);
    in.files.clear();
    in.allowEmpty = true;
    ASSERT_TRUE(RunGeneration(test::NativeDisk(), in, sink).written);
    EXPECT_EQ(test::ReadFile(in.outputPath), Expected(Appearance {}, {}));
}

TEST_F(RunTest, TheSearchPageIsNoPageOfTheSiteByAnyName)
{
    in.files = { dir.Write("site/a.htm", test::Page("A", "a", "a")) };
    ASSERT_TRUE(RunGeneration(test::NativeDisk(), in, sink).written);
    // The old search page has a title but no meta tags: it is left out, without a line.
    dir.Mkdir("site/docs");
    in.files = { in.outputPath, in.files[0], dir.path() + "/site/docs/../lookup.htm" };
    sink.events.clear();
    RunResult r = RunGeneration(test::NativeDisk(), in, sink);
    ASSERT_TRUE(r.written);
    EXPECT_EQ(sink.events.size(), 4u); // the start and three files, no status line
    EXPECT_EQ(
        test::ReadFile(in.outputPath), Expected(Appearance {}, { { "a.htm", "a", "A", "a" } }));
    // Nothing but the page itself is no page at all.
    in.files = { in.outputPath };
    EXPECT_TRUE(RunGeneration(test::NativeDisk(), in, sink).nothingSelected);
}
