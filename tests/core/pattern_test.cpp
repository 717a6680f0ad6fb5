#include "core/pattern.h"

#include <gtest/gtest.h>

using namespace tovaro;

TEST(MatchesPatternTest, WildcardsSpanTheWholePath)
{
    EXPECT_TRUE(MatchesPattern("/site/index.html", "*.ht*"));
    EXPECT_TRUE(MatchesPattern("/old.htdocs/readme.txt", "*.ht*"));
    EXPECT_FALSE(MatchesPattern("/site/INDEX.HTM", "*.ht*"));
    EXPECT_TRUE(MatchesPattern("anything", "*"));
    EXPECT_TRUE(MatchesPattern("", "*"));
    EXPECT_TRUE(MatchesPattern("", ""));
    EXPECT_FALSE(MatchesPattern("a", ""));
    EXPECT_TRUE(MatchesPattern("abc", "a?c"));
    EXPECT_FALSE(MatchesPattern("ac", "a?c"));
    EXPECT_TRUE(MatchesPattern("aXbXc", "*X*X*"));
    EXPECT_FALSE(MatchesPattern("aXb", "*X*X*"));
}

TEST(MatchesPatternTest, DigitsAndLists)
{
    EXPECT_TRUE(MatchesPattern("seite7.htm", "seite#.htm"));
    EXPECT_FALSE(MatchesPattern("seiteX.htm", "seite#.htm"));
    EXPECT_TRUE(MatchesPattern("e", "[aeiou]"));
    EXPECT_FALSE(MatchesPattern("x", "[aeiou]"));
    EXPECT_TRUE(MatchesPattern("x", "[!0-9]"));
    EXPECT_FALSE(MatchesPattern("5", "[!0-9]"));
    EXPECT_TRUE(MatchesPattern("m", "[a-z]"));
    EXPECT_FALSE(MatchesPattern("M", "[a-z]"));
    EXPECT_TRUE(MatchesPattern("-", "[-a]"));
    EXPECT_TRUE(MatchesPattern("-", "[a-]"));
    EXPECT_FALSE(MatchesPattern("b", "[-a]"));
    EXPECT_TRUE(MatchesPattern("*", "[*]"));
    EXPECT_FALSE(MatchesPattern("x", "[*]"));
}

TEST(MatchesPatternTest, SemicolonIsLiteralAndInvalidPatternsMatchNothing)
{
    EXPECT_FALSE(MatchesPattern("/a/b.htm", "*.htm;*.html"));
    EXPECT_TRUE(MatchesPattern("/a/b.htm;x.html", "*.htm;*.html"));
    EXPECT_FALSE(MatchesPattern("[abc", "[abc"));
    EXPECT_FALSE(MatchesPattern("b", "[z-a]"));
}

TEST(MatchesPatternTest, QuestionMarkIsOneCharacterInUtf8)
{
    EXPECT_TRUE(MatchesPattern("/grüße.htm", "/gr??e.htm"));
    EXPECT_TRUE(MatchesPattern("/gr\xFC\xDF"
                               "e.htm",
        "/gr??e.htm"));
    EXPECT_TRUE(MatchesPattern("ä", "[äöü]"));
}

TEST(FileNamePatternTest, NameOnlyWithoutCase)
{
    EXPECT_TRUE(MatchesFileNamePattern("INDEX.HTM", "*.ht*"));
    EXPECT_TRUE(MatchesFileNamePattern("index.html", "*.ht*"));
    EXPECT_FALSE(MatchesFileNamePattern("readme.txt", "*.ht*"));
    EXPECT_TRUE(MatchesFileNamePattern("README", "*.*"));
    EXPECT_TRUE(MatchesFileNamePattern("a.txt", "*"));
    EXPECT_TRUE(MatchesFileNamePattern("ÜBER.HTM", "über.htm"));
    EXPECT_TRUE(MatchesFileNamePattern("ab.htm", "a?.htm"));
    EXPECT_FALSE(MatchesFileNamePattern("abc.htm", "a?.htm"));
}

TEST(FileNamePatternTest, SeveralPatterns)
{
    EXPECT_TRUE(MatchesFileNamePattern("a.htm", "*.txt;*.htm"));
    EXPECT_TRUE(MatchesFileNamePattern("a.txt", "*.txt; *.htm"));
    EXPECT_FALSE(MatchesFileNamePattern("a.gif", "*.txt;*.htm"));
    EXPECT_FALSE(MatchesFileNamePattern("a.htm", ""));
    EXPECT_FALSE(MatchesFileNamePattern("a.htm", ";;"));
}

TEST(MatchesPatternTest, RangesAreReadLeftToRight)
{
    // "a-c" is a range; the "-" after it stands for itself (found by the fuzzer's reference).
    EXPECT_TRUE(MatchesPattern("b", "[a-c-e]"));
    EXPECT_TRUE(MatchesPattern("-", "[a-c-e]"));
    EXPECT_TRUE(MatchesPattern("e", "[a-c-e]"));
    EXPECT_FALSE(MatchesPattern("d", "[a-c-e]"));
    EXPECT_TRUE(MatchesPattern("x", "[!]"));
    EXPECT_FALSE(MatchesPattern("x", "[]"));
}
