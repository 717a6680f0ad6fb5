#pragma once

#include <cstdint>
#include <string>

namespace tovaro {

/// A colour value with red in bits 0-7, green in 8-15 and blue in 16-23.
using ColourValue = uint32_t;

inline ColourValue MakeColour(unsigned red, unsigned green, unsigned blue)
{
    return (red & 0xFFu) | ((green & 0xFFu) << 8) | ((blue & 0xFFu) << 16);
}

/// "#RRGGBB" with upper-case digits: pure red (255) is "#FF0000".
std::string ColourToCode(ColourValue value);

/// Whether `text` is a colour code a browser reads as one colour: "#" and six hexadecimal
/// digits, in either case.
bool IsColourCode(const std::string& text);

/// The contrast ratio of two colours as WCAG defines it, from 1 (the same) to 21 (black on
/// white).
double ContrastRatio(ColourValue a, ColourValue b);

/// `preferred` where it stands out from `background` by at least `minimum`; otherwise the same
/// hue made darker or lighter (whichever reaches the ratio with the least change), or black or
/// white.
ColourValue ReadableColour(ColourValue preferred, ColourValue background, double minimum);

} // namespace tovaro
