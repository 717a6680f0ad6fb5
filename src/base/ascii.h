// ASCII letters, compared and changed byte by byte, whatever the encoding of the text around.
#pragma once

#include <string_view>

namespace tovaro {

/// One byte with its ASCII letter case changed; every other byte as it is.
inline char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}
inline char AsciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c;
}

/// Whether `text` starts with `prefix`, ASCII letters compared without regard to case.
inline bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (AsciiLower(text[i]) != AsciiLower(prefix[i]))
            return false;
    }
    return true;
}

} // namespace tovaro
