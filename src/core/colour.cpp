#include "colour.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace tovaro {

bool IsColourCode(const std::string& text)
{
    if (text.size() != 7 || text[0] != '#')
        return false;
    for (size_t i = 1; i < text.size(); ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(text[i])))
            return false;
    }
    return true;
}

std::string ColourToCode(ColourValue value)
{
    // The value's hexadecimal text, padded at the front to six digits, read back to front in
    // pairs: that puts red first. Only the low 24 bits hold a colour.
    char hex[16];
    std::snprintf(hex, sizeof hex, "%06X", static_cast<unsigned>(value & 0xFFFFFFu));
    std::string digits(hex);
    std::string code = "#";
    code += digits.substr(4, 2);
    code += digits.substr(2, 2);
    code += digits.substr(0, 2);
    return code;
}

namespace {

double Channel(unsigned value)
{
    const double c = value / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(ColourValue v)
{
    return 0.2126 * Channel(v & 0xFF) + 0.7152 * Channel((v >> 8) & 0xFF)
        + 0.0722 * Channel((v >> 16) & 0xFF);
}

// The colour moved `t` (0 to 1) of the way towards `target`.
ColourValue Mix(ColourValue from, ColourValue target, double t)
{
    auto part = [&](int shift) {
        const double a = (from >> shift) & 0xFF;
        const double b = (target >> shift) & 0xFF;
        return static_cast<unsigned>(std::lround(a + (b - a) * t));
    };
    return MakeColour(part(0), part(8), part(16));
}

} // namespace

double ContrastRatio(ColourValue a, ColourValue b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

ColourValue ReadableColour(ColourValue preferred, ColourValue background, double minimum)
{
    if (ContrastRatio(preferred, background) >= minimum)
        return preferred;
    const ColourValue black = MakeColour(0, 0, 0);
    const ColourValue white = MakeColour(255, 255, 255);
    // Towards black or towards white, in steps, until the ratio is reached.
    for (int step = 1; step <= 20; ++step) {
        const double t = step / 20.0;
        for (ColourValue end : { black, white }) {
            const ColourValue c = Mix(preferred, end, t);
            if (ContrastRatio(c, background) >= minimum)
                return c;
        }
    }
    return ContrastRatio(black, background) >= ContrastRatio(white, background) ? black : white;
}

} // namespace tovaro
