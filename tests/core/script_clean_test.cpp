// The fields made fit for the search page's script.
#include "core/script_clean.h"
#include "core/text.h"
#include "whole_scan.h"

#include <gtest/gtest.h>

using namespace tovaro;

TEST(CleanTest, ApostrophesBackslashesAndCase)
{
    PageFields raw { "Peter's C:\\Temp", "Peter's C:\\Temp ÄÖÜ", "Peter's C:\\Temp" };
    PageFields c = CleanForScript(raw);
    EXPECT_EQ(c.title, "Peters C:\\\\Temp");
    EXPECT_EQ(c.description, "Peters C:\\\\Temp");
    EXPECT_EQ(c.keywords, "peters c:\\\\temp äöü");
}

TEST(CleanTest, OnlyApostrophesBecomesEmpty)
{
    EXPECT_EQ(CleanForScript({ "'''", "", "" }).title, "");
}

TEST(CleanTest, ControlCharactersBecomeBlanks)
{
    // A NUL byte or an escape stood raw in the page's script, which tools then took for a
    // binary file: every control character becomes a blank, in all three fields.
    struct Case {
        std::string raw;
        std::string clean; // the title and description; the keywords are the same in lower case
    };
    const Case cases[] = {
        { std::string("nul\0byte", 8), "nul byte" },
        { "Tab\tund\x1B[2JEscape\x7F", "Tab und [2JEscape " },
        // C1 controls: in UTF-8, and the bytes windows-1252 leaves undefined ("Caf\xE9" stays
        // windows-1252, which the page writer converts).
        { "a\xC2\x85"
          "b\xC2\x9F"
          "c",
            "a b c" },
        { "Caf\xE9\x81\x8D\x80", "Caf\xE9  \x80" },
    };
    for (const Case& c : cases) {
        const PageFields out = CleanForScript({ c.raw, c.raw, c.raw });
        EXPECT_EQ(out.title, c.clean) << c.raw;
        EXPECT_EQ(out.description, c.clean) << c.raw;
        EXPECT_EQ(out.keywords, LowerText(c.clean)) << c.raw;
    }
}

TEST(CleanTest, EverySpaceIsComparedAsAPlainSpace)
{
    // The keywords, only searched, get plain spaces; the title and the description, which the
    // page shows, keep theirs as numeric references, which the page's search takes for plain
    // spaces.
    struct Case {
        std::string raw;
        std::string shown;
        std::string keywords;
    };
    const Case cases[] = {
        { "Montag\u00A0bis Freitag", "Montag&#160;bis Freitag", "montag bis freitag" },
        { "10\u202F000\u2009km\u3000x\u2028y\uFEFFz",
            "10&#8239;000&#8201;km&#12288;x&#8232;y&#65279;z", "10 000 km x y z" },
        // U+2000 is composed to U+2002, as every text is.
        { "\u1680\u2000\u200A\u205F", "&#5760;&#8194;&#8202;&#8287;", "    " },
        // windows-1252's non-breaking space; the other letters stay in their encoding.
        { "Gr\xF6\xDF"
          "e\xA0"
          "1",
            "Gr\xF6\xDF"
            "e&#160;1",
            "gr\xF6\xDF"
            "e 1" },
        // Not spaces: a zero-width joiner, an en dash, a soft hyphen.
        { "a\u200Db\u2013c\u00ADd", "a\u200Db\u2013c\u00ADd", "a\u200Db\u2013c\u00ADd" },
    };
    for (const Case& c : cases) {
        const PageFields out = CleanForScript({ c.raw, c.raw, c.raw });
        EXPECT_EQ(out.title, c.shown) << c.raw;
        EXPECT_EQ(out.description, c.shown) << c.raw;
        EXPECT_EQ(out.keywords, c.keywords) << c.raw;
    }
}

TEST(CleanTest, LessThanIsShownAsTextAndCannotEndTheScript)
{
    // Shown fields get the entity, after the quotes are gone; entities already there stay.
    PageFields c = CleanForScript({ "a</script>b <!-- P'reise <50 &amp;", "<K'", "\"q\" & <d>" });
    EXPECT_EQ(c.title, "a&lt;/script>b &lt;!-- Preise &lt;50 &amp;");
    EXPECT_EQ(c.keywords, "\\x3Ck");
    EXPECT_EQ(c.description, "\"q\" & &lt;d>");
}

TEST(CleanTest, CharacterReferencesAreDecodedBeforeTheCleaning)
{
    // Each value as title, keywords and description; the expected texts are what a browser
    // shows, cleaned as the literal characters are.
    struct Case {
        const char* raw;
        const char* title; // also the description: both are shown as markup
        const char* keywords;
    };
    const Case cases[] = {
        { "&Ouml;ffnungszeiten", "Öffnungszeiten", "öffnungszeiten" },
        { "Gr&ouml;&szlig;e &euro; &ndash; &bdquo;x&ldquo;", "Größe € – „x“", "größe € – „x“" },
        { "Z&#252;rich &#xFC;&#XFC; &#252 x", "Zürich üü ü x", "zürich üü ü x" },
        { "a&nbsp;b", "a&#160;b", "a b" },
        // Decoded characters that the cleaning treats: the apostrophe goes, the backslash is
        // doubled, "<" and "&" stay what they were in the browser.
        { "Peter&#39;s &apos;C:&#92;Temp", "Peters C:\\\\Temp", "peters c:\\\\temp" },
        { "&lt;b&gt; &#60;", "&lt;b> &lt;", "\\x3Cb> \\x3C" },
        { "A &amp; B &amp;lt;", "A &amp; B &amp;lt;", "a & b &lt;" },
        // The windows-1252 numbers, and what browsers put for numbers that name no character
        // (a C1 control, which the page writes as a blank).
        { "&#150;&#128;&#129;", "–€ ", "–€ " },
        { "&#0;&#xD800;&#x110000;&#99999999999;", "\uFFFD\uFFFD\uFFFD\uFFFD",
            "\uFFFD\uFFFD\uFFFD\uFFFD" },
        // A line break would end the script string; a browser shows a blank.
        { "a&#10;b&#13;c", "a b c", "a b c" },
        // No references: unknown names, no digits, a bare "&".
        { "&foo; &#; &#x; AT&T &", "&foo; &#; &#x; AT&T &", "&foo; &#; &#x; at&t &" },
        // The legacy names, which the text of a page decodes without their ";", the longest
        // at the start of the letters: the results show them so.
        { "&copy 2024 Gr&oumlsse &ouml", "© 2024 Grösse ö", "© 2024 grösse ö" },
        { "&notin &ampx; &COPY &AMP;", "¬in &amp;x; © &amp;", "¬in &x; © &" },
        { "&n &no &nbs x", "&n &no &nbs x", "&n &no &nbs x" },
    };
    for (const Case& c : cases) {
        PageFields out = CleanForScript({ c.raw, c.raw, c.raw });
        EXPECT_EQ(out.title, c.title) << c.raw;
        EXPECT_EQ(out.description, c.title) << c.raw;
        EXPECT_EQ(out.keywords, c.keywords) << c.raw;
    }
}

TEST(CleanTest, WindowsTextWithReferencesAndDecomposedLettersBecomeComposedUtf8)
{
    // "Café" in windows-1252 with a reference: the whole field becomes UTF-8.
    EXPECT_EQ(CleanForScript({ "Caf\xE9 &amp; Bar", "", "" }).title, "Café &amp; Bar");
    // Without a reference it stays in its encoding, as the page writer converts it.
    EXPECT_EQ(CleanForScript({ "Caf\xE9", "", "" }).title, "Caf\xE9");
    // "u" and a combining diaeresis, as some editors save it, and a reference to the mark.
    PageFields out = CleanForScript({ "Zu\xCC\x88rich", "Zu\xCC\x88rich", "Zu&#776;rich" });
    EXPECT_EQ(out.title, "Zürich");
    EXPECT_EQ(out.keywords, "zürich");
    EXPECT_EQ(out.description, "Zürich");
}
