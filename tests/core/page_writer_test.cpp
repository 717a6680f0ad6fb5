#include "core/page_writer.h"
#include "core/text.h"
#include "test_util.h"

#include <gtest/gtest.h>

using namespace tovaro;

namespace {

std::string Fill(std::string text, const Appearance& a)
{
    text = ReplaceAll(text, "{heading}", a.heading);
    text = ReplaceAll(text, "{font face}", a.fontFace);
    text = ReplaceAll(text, "{font size}", a.fontSize);
    text = ReplaceAll(text, "{text colour}", a.textColour);
    return ReplaceAll(text, "{background colour}", a.backgroundColour);
}

} // namespace

TEST(PageWriterTest, HeadWithDefaultAppearanceMatchesTheFormat)
{
    std::string out;
    AppendPageHead(out, Appearance {});
    EXPECT_EQ(out, Fill(test::Fixture("page_head.txt"), Appearance {}));
    EXPECT_NE(out.find("\r\n<title>Tovaro Suche</title>\r\n"), std::string::npos);
}

TEST(PageWriterTest, ValuesAreInsertedUnchanged)
{
    Appearance a;
    a.heading = "Über \"uns\" & 'euch' <b>";
    a.fontFace = "Comic Sans MS, Arial";
    a.fontSize = "12";
    a.textColour = "rot";
    a.backgroundColour = "#00ff00";
    std::string out;
    AppendPageHead(out, a);
    AppendPageTail(out, 0, a);
    EXPECT_EQ(out,
        Fill(
            test::Fixture("page_head.txt") + ReplaceAll(test::Fixture("page_tail.txt"), "{M}", "0"),
            a));
    EXPECT_NE(out.find("<title>Über \"uns\" & 'euch' <b></title>"), std::string::npos);
    EXPECT_NE(out.find("<body bgcolor=\"#00ff00\">\r\n"), std::string::npos);
}

TEST(PageWriterTest, EntryBlockAndTailCount)
{
    std::string out;
    AppendEntryBlock(out, 12, { "docs/a.htm", "k", "T", "D" });
    EXPECT_EQ(out,
        "     urls[12]='docs/a.htm';\r\n"
        "     keys[12]= 'k';\r\n"
        "     tits[12]= 'T';\r\n"
        "     descs[12]= 'D';\r\n");

    std::string tail;
    AppendPageTail(tail, 3, Appearance {});
    EXPECT_EQ(tail.rfind("for (var i = 0;i<3;i++){\r\n", 0), 0u);
    EXPECT_EQ(tail.substr(tail.size() - 9), "</html>\r\n");
    size_t lines = 0;
    for (char c : tail)
        lines += c == '\n';
    EXPECT_EQ(lines, 40u); // lines 20 to 59
}
