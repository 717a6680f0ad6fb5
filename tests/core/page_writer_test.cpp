#include "core/page_writer.h"
#include "core/text.h"
#include "test_util.h"

#include <algorithm>
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

// The initial values of the appearance page, as the page format gives them.
Appearance WrittenOutDefaults()
{
    Appearance a;
    a.backgroundColour = "#FFFFE1";
    a.textColour = "#000000";
    a.fontFace = "Arial, Helvetica, sans-serif";
    a.fontSize = "3";
    a.heading = "Tovaro Suche";
    return a;
}

} // namespace

TEST(PageWriterTest, HeadAndTailWithTheDefaultAppearanceMatchTheFormat)
{
    std::string out;
    AppendPageHead(out, Appearance {});
    AppendPageTail(out, 0, Appearance {});
    EXPECT_EQ(out,
        Fill(
            test::Fixture("page_head.txt") + ReplaceAll(test::Fixture("page_tail.txt"), "{M}", "0"),
            WrittenOutDefaults()));
    EXPECT_NE(out.find("\r\n<title>Tovaro Suche</title>\r\n"), std::string::npos);
}

TEST(PageWriterTest, PlainValuesAreInsertedUnchanged)
{
    Appearance a;
    a.heading = "Über uns & euch";
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
    EXPECT_NE(out.find("<title>Über uns & euch</title>"), std::string::npos);
    EXPECT_NE(out.find("<body bgcolor=\"#00ff00\">\r\n"), std::string::npos);
}

TEST(PageWriterTest, AppearanceValuesAreEscapedForTheirPlace)
{
    Appearance a;
    a.heading = "Preise <50 € & \"mehr\" </title>";
    a.fontFace = "'Open Sans', Arial";
    a.fontSize = "3\"";
    a.textColour = "a\\b\"c<d'</script>";
    a.backgroundColour = "#FF\"0'<";
    std::string out;
    AppendPageHead(out, a);
    AppendPageTail(out, 0, a);
    // In the title only "<" matters.
    EXPECT_NE(out.find("\r\n<title>Preise &lt;50 € & \"mehr\" &lt;/title></title>\r\n"),
        std::string::npos);
    // Inside the script's single-quoted string: backslash, quote, double quote, "<".
    EXPECT_NE(out.find("\r\n    document.writeln('<font face=\"\\'Open Sans\\', Arial\" "
                       "size=\"3&quot;\" color=\"a\\\\b&quot;c\\x3Cd\\'\\x3C/script>\">Suche "
                       "nach <b>' + "),
        std::string::npos);
    // In plain attributes only the double quote.
    EXPECT_NE(out.find("\r\n<body bgcolor=\"#FF&quot;0'<\">\r\n"), std::string::npos);
    EXPECT_NE(out.find("\r\n<font face=\"'Open Sans', Arial\" size=\"3&quot;\" "
                       "color=\"a\\b&quot;c<d'</script>\">Suchbegriff: "),
        std::string::npos);
}

TEST(PageWriterTest, EveryInsertedTextIsUtf8)
{
    // windows-1252 is converted, its undefined bytes included; UTF-8 stays as it is.
    Appearance a;
    a.heading = "\xC4rger \x80 \x81\x9D";
    a.fontFace = "Gr\xFC\xDF"
                 "e";
    a.backgroundColour = "gr\xC3\xBCn";
    std::string out;
    AppendPageHead(out, a);
    AppendEntryBlock(out, 0, { "a.htm", "b\xE4r", "B\xC3\xA4r \x93x\x94", "\x95\\\\" });
    AppendPageTail(out, 1, a);
    EXPECT_NE(
        out.find("<title>\xC3\x84rger \xE2\x82\xAC \xC2\x81\xC2\x9D</title>"), std::string::npos);
    EXPECT_NE(out.find("face=\"Gr\xC3\xBC\xC3\x9F"
                       "e\""),
        std::string::npos);
    EXPECT_NE(out.find("<body bgcolor=\"gr\xC3\xBCn\">"), std::string::npos);
    EXPECT_NE(out.find("keys[0]= 'b\xC3\xA4r';"), std::string::npos);
    // Not valid UTF-8 as a whole: every byte is read as windows-1252.
    EXPECT_NE(
        out.find("tits[0]= 'B\xC3\x83\xC2\xA4r \xE2\x80\x9Cx\xE2\x80\x9D';"), std::string::npos);
    EXPECT_NE(out.find("descs[0]= '\xE2\x80\xA2\\\\';"), std::string::npos);
    EXPECT_TRUE(IsValidUtf8(out));
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
    // The last index script is closed, and the search runs in a script of its own.
    EXPECT_EQ(tail.rfind("</script>\r\n<script language=\"JavaScript\">\r\n<!--\r\n"
                         "if (Daten[0] != ''){\r\nif (Daten[1].length > 0){\r\n"
                         "var hits = new Array();\r\nfor (var i = 0;i<3;i++){\r\n",
                  0),
        0u);
    EXPECT_EQ(tail.substr(tail.size() - 9), "</html>\r\n");
    size_t lines = 0;
    for (char c : tail)
        lines += c == '\n';
    EXPECT_EQ(lines, 51u); // from closing the index to "</html>"
}

// With spelling variants the page folds the search word and the fields before it compares them;
// without, it holds no folding code at all (the format's page).
TEST(PageWriterTest, SpellingVariantsChangeOnlyTheComparisons)
{
    auto lines = [](bool variants) {
        std::string page;
        AppendPageHead(page, Appearance {}, SearchRules { variants });
        AppendPageTail(page, 0, Appearance {}, SearchRules { variants });
        std::vector<std::string> out;
        for (size_t at = 0; at < page.size();) {
            const size_t end = page.find("\r\n", at);
            out.push_back(page.substr(at, end - at));
            at = end + 2;
        }
        return out;
    };
    const std::vector<std::string> plain = lines(false);
    const std::vector<std::string> variants = lines(true);
    std::vector<std::string> onlyPlain, onlyVariants;
    for (const std::string& l : plain) {
        if (std::find(variants.begin(), variants.end(), l) == variants.end())
            onlyPlain.push_back(l);
    }
    for (const std::string& l : variants) {
        if (std::find(plain.begin(), plain.end(), l) == plain.end())
            onlyVariants.push_back(l.substr(0, l.find(" = ")));
    }
    EXPECT_EQ(onlyPlain,
        (std::vector<std::string> { "     if (keys[i].toLowerCase().indexOf(Daten[1]) >= 0){",
            "     if (Klartext(descs[i]).toLowerCase().indexOf(Daten[1]) >= 0 && found2 == 0){",
            "     if (Klartext(tits[i]).toLowerCase().indexOf(Daten[1]) >= 0 && found2 == 0){" }));
    EXPECT_EQ(onlyVariants,
        (std::vector<std::string> { "var Schreibweisen", "var Faltung",
            "function Falten(s){ return s.replace(/[\\u00c0-\\u02af\\u1e9e\\u2c65\\u2c66]/g, "
            "function (c) { return Faltung[c] || c; }); }",
            "var Wort", "     if (Falten(keys[i].toLowerCase()).indexOf(Wort) >= 0){",
            "     if (Falten(Klartext(descs[i]).toLowerCase()).indexOf(Wort) >= 0 && found2 == 0){",
            "     if (Falten(Klartext(tits[i]).toLowerCase()).indexOf(Wort) >= 0 && found2 == "
            "0){" }));
    // Every line otherwise in the same order: the variants' lines are added and put in place.
    EXPECT_EQ(variants.size(), plain.size() + 4);
}

TEST(PageWriterTest, TheIndexComesInScriptsOfAThousandEntries)
{
    std::string out;
    for (size_t n = 0; n < 2001; ++n)
        AppendEntryBlock(out, n, { "a.htm", "k", "T", "D" });
    AppendPageTail(out, 2001, Appearance {});
    const std::string open = "<script language=\"JavaScript\">\r\n";
    EXPECT_EQ(out.rfind(open + "     urls[0]='a.htm';\r\n", 0), 0u);
    EXPECT_NE(
        out.find("     descs[999]= 'D';\r\n</script>\r\n" + open + "     urls[1000]='a.htm';"),
        std::string::npos);
    EXPECT_NE(
        out.find("     descs[1999]= 'D';\r\n</script>\r\n" + open + "     urls[2000]='a.htm';"),
        std::string::npos);
    EXPECT_NE(
        out.find("     descs[2000]= 'D';\r\n</script>\r\n" + open + "<!--\r\n"), std::string::npos);
    size_t scripts = 0;
    for (size_t p = out.find(open); p != std::string::npos; p = out.find(open, p + 1))
        ++scripts;
    EXPECT_EQ(scripts, 4u); // three of the index and the search
}
