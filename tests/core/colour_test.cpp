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

TEST(ContrastTest, RatiosAndReadableColours)
{
    const ColourValue white = MakeColour(255, 255, 255);
    const ColourValue black = MakeColour(0, 0, 0);
    const ColourValue blue = MakeColour(0, 0, 255);
    const ColourValue dark = MakeColour(0x32, 0x32, 0x32);
    EXPECT_NEAR(ContrastRatio(white, black), 21.0, 0.01);
    EXPECT_NEAR(ContrastRatio(black, white), 21.0, 0.01);
    EXPECT_NEAR(ContrastRatio(blue, white), 8.59, 0.01);
    EXPECT_NEAR(ContrastRatio(blue, dark), 1.50, 0.01); // a link on a dark desktop
    // Readable already: unchanged. Too dark on dark: lightened until readable, hue kept.
    EXPECT_EQ(ReadableColour(blue, white, 4.5), blue);
    const ColourValue lighter = ReadableColour(blue, dark, 4.5);
    EXPECT_GE(ContrastRatio(lighter, dark), 4.5);
    EXPECT_GT((lighter >> 16) & 0xFF, lighter & 0xFF); // still bluish
    // Red on the grey of a classic dialog is below 4.5: darkened.
    const ColourValue grey = MakeColour(0xD4, 0xD0, 0xC8);
    EXPECT_LT(ContrastRatio(MakeColour(255, 0, 0), grey), 4.5);
    const ColourValue red = ReadableColour(MakeColour(255, 0, 0), grey, 4.5);
    EXPECT_GE(ContrastRatio(red, grey), 4.5);
    EXPECT_GT(red & 0xFF, (red >> 8) & 0xFF);
}

TEST(IsColourCodeTest, HashAndSixHexDigitsInEitherCase)
{
    const struct {
        const char* text;
        bool code;
    } cases[] = {
        { "#FFEECC", true },
        { "#ffeecc", true },
        { "#00fF9a", true },
        { "#FFF", false }, // short forms are not what the fields hold
        { "FFEECC", false },
        { "#FFEECCA", false },
        { "#FFEEGG", false },
        { "", false },
        { "# FFEEC", false },
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsColourCode(c.text), c.code) << c.text;
}
