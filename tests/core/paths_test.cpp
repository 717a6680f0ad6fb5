#include "core/paths.h"

#include <gtest/gtest.h>

using namespace tovaro;

TEST(PathsTest, AbsoluteAndLexicallyNormalised)
{
    EXPECT_EQ(AbsolutePath("a.htm", "/site"), "/site/a.htm");
    EXPECT_EQ(AbsolutePath("docs/../b/./c.htm", "/site"), "/site/b/c.htm");
    EXPECT_EQ(AbsolutePath("//x//y/", "/site"), "/x/y");
    EXPECT_EQ(AbsolutePath("../../..", "/site"), "/");
    EXPECT_EQ(AbsolutePath(".", "/"), "/");
}

TEST(PathsTest, ParentDirectory)
{
    EXPECT_EQ(ParentDirectory("/lookup.htm"), "/");
    EXPECT_EQ(ParentDirectory("/site/lookup.htm"), "/site");
}
