#include "core/text.h"

#include <gtest/gtest.h>

using namespace tovaro;

TEST(TextTest, Utf8Validity)
{
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_TRUE(IsValidUtf8("Grüße €"));
    EXPECT_FALSE(IsValidUtf8("Gr\xFC\xDF"
                             "e"));
    EXPECT_FALSE(IsValidUtf8("\xC3"));
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF")); // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80")); // surrogate
}

TEST(TextTest, LowerTextInEitherEncoding)
{
    EXPECT_EQ(LowerText("ÄÖÜ Straße ÀÞ×"), "äöü straße àþ×");
    EXPECT_EQ(LowerText("\xC4\xD6\xDC \xD7 \x8A\x9F"), "\xE4\xF6\xFC \xD7 \x9A\xFF");
}

TEST(TextTest, ReplaceRemoveTrim)
{
    EXPECT_EQ(ReplaceAll("a\\b\\", "\\", "\\\\"), "a\\\\b\\\\");
    EXPECT_EQ(TrimBlanks("  a b  "), "a b");
    EXPECT_EQ(TrimBlanks("   "), "");
}
