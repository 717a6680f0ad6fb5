// Byte-level text helpers. Text is kept as bytes: a text is UTF-8 when it is valid
// UTF-8, otherwise it is taken as windows-1252.
#pragma once

#include "base/ascii.h"

#include <string>
#include <string_view>

namespace tovaro {

/// True when the bytes form valid UTF-8 (plain ASCII included): no overlong forms, no
/// surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

/// The length of the valid UTF-8 sequence that starts at `pos` (1 for ASCII), or 0 when the
/// byte there does not start one; `codePoint` gets the character it stands for.
size_t DecodeUtf8(std::string_view text, size_t pos, char32_t& codePoint);
inline size_t Utf8SequenceLength(std::string_view text, size_t pos)
{
    char32_t unused;
    return DecodeUtf8(text, pos, unused);
}

/// The text as UTF-8: valid UTF-8 unchanged, anything else read as windows-1252 (its five
/// undefined bytes taken as the control characters of the same number, as browsers do).
std::string ToUtf8(std::string_view text);

/// The character a windows-1252 byte stands for (its five undefined bytes taken as the control
/// characters of the same number, as browsers do).
char32_t Windows1252Char(unsigned char byte);

/// Appends the code point (up to U+10FFFF, no surrogate) as UTF-8.
void AppendUtf8(std::string& out, char32_t codePoint);

/// The two hexadecimal digits of a byte, upper case ("%2F", "\\x0A").
inline void AppendHexByte(std::string& out, unsigned char byte)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    out.push_back(kDigits[byte >> 4]);
    out.push_back(kDigits[byte & 0x0F]);
}

/// Lower-cases ASCII letters and the Latin-1 letters (Ä, Ö, Ü, ...) in whichever of the two
/// encodings the text is in. The length never changes.
std::string LowerText(std::string_view text);
void LowerTextInPlace(std::string& text);

/// Every occurrence of `from` in `text` replaced by `to`.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

/// Removes leading and trailing blanks (spaces only).
std::string_view TrimBlanks(std::string_view text);

} // namespace tovaro
