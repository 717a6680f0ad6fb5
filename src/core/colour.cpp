#include "colour.h"

#include <cstdio>

namespace tovaro {

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

} // namespace tovaro
