#include "core/colour.h"

#include <gtest/gtest.h>

using namespace tovaro;

TEST(ColourToCodeTest, RedComesFirst)
{
    EXPECT_EQ(ColourToCode(255), "#FF0000");
    EXPECT_EQ(ColourToCode(MakeColour(255, 255, 0)), "#FFFF00");
    EXPECT_EQ(ColourToCode(MakeColour(18, 52, 86)), "#123456");
    EXPECT_EQ(ColourToCode(MakeColour(255, 255, 225)), "#FFFFE1");
    EXPECT_EQ(ColourToCode(MakeColour(0, 0, 255)), "#0000FF");
    EXPECT_EQ(ColourToCode(0), "#000000");
}
