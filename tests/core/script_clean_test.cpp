// The fields made fit for the search page's script.
#include "core/script_clean.h"
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

TEST(CleanTest, LessThanIsShownAsTextAndCannotEndTheScript)
{
    // Shown fields get the entity, after the quotes are gone; entities already there stay.
    PageFields c = CleanForScript({ "a</script>b <!-- P'reise <50 &amp;", "<K'", "\"q\" & <d>" });
    EXPECT_EQ(c.title, "a&lt;/script>b &lt;!-- Preise &lt;50 &amp;");
    EXPECT_EQ(c.keywords, "\\x3Ck");
    EXPECT_EQ(c.description, "\"q\" & &lt;d>");
}
