#include "text.h"

namespace tovaro {

size_t DecodeUtf8(std::string_view text, size_t pos, char32_t& codePoint)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data()) + pos;
    const size_t avail = text.size() - pos;
    const unsigned char c = p[0];
    if (c < 0x80) {
        codePoint = c;
        return 1;
    }
    size_t extra;
    unsigned minimum;
    unsigned cp;
    if ((c & 0xE0) == 0xC0) {
        extra = 1;
        minimum = 0x80;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        extra = 2;
        minimum = 0x800;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        extra = 3;
        minimum = 0x10000;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (avail <= extra)
        return 0;
    for (size_t i = 1; i <= extra; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    codePoint = cp;
    return extra + 1;
}

bool IsValidUtf8(std::string_view text)
{
    for (size_t i = 0; i < text.size();) {
        // ASCII runs are the common case.
        while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80)
            ++i;
        if (i >= text.size())
            break;
        const size_t n = Utf8SequenceLength(text, i);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

namespace {

// windows-1252 from 0x80 to 0x9F; the undefined bytes stand for themselves.
constexpr char32_t kCp1252High[32]
    = { 0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
          0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
          0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178 };

} // namespace

char32_t Windows1252Char(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : byte;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string ToUtf8(std::string_view text)
{
    if (IsValidUtf8(text))
        return std::string(text);
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        AppendUtf8(out, Windows1252Char(c));
    }
    return out;
}

std::string LowerText(std::string_view text)
{
    std::string out(text);
    LowerTextInPlace(out);
    return out;
}

void LowerTextInPlace(std::string& out)
{
    unsigned char high = 0;
    for (char& ch : out) {
        high |= static_cast<unsigned char>(ch);
        ch = AsciiLower(ch);
    }
    if (high < 0x80)
        return; // ASCII only, the usual keywords
    const bool utf8 = IsValidUtf8(out);
    for (size_t i = 0; i < out.size(); ++i) {
        auto c = static_cast<unsigned char>(out[i]);
        if (c < 0x80)
            continue;
        if (utf8) {
            // U+00C0..U+00DE (without the multiplication sign U+00D7) are encoded C3 80..C3 9E.
            if (c == 0xC3 && i + 1 < out.size()) {
                auto d = static_cast<unsigned char>(out[i + 1]);
                if (d >= 0x80 && d <= 0x9E && d != 0x97)
                    out[i + 1] = static_cast<char>(d + 0x20);
                ++i;
            }
        } else {
            if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
                out[i] = static_cast<char>(c + 0x20);
            else if (c == 0x8A || c == 0x8C || c == 0x8E) // Š Œ Ž
                out[i] = static_cast<char>(c + 0x10);
            else if (c == 0x9F) // Ÿ
                out[i] = static_cast<char>(0xFF);
        }
    }
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to)
{
    std::string out;
    if (from.empty())
        return std::string(text);
    out.reserve(text.size());
    size_t pos = 0;
    for (;;) {
        size_t hit = text.find(from, pos);
        if (hit == std::string_view::npos)
            break;
        out.append(text.substr(pos, hit - pos));
        out.append(to);
        pos = hit + from.size();
    }
    out.append(text.substr(pos));
    return out;
}

std::string_view TrimBlanks(std::string_view text)
{
    size_t b = text.find_first_not_of(' ');
    if (b == std::string_view::npos)
        return {};
    size_t e = text.find_last_not_of(' ');
    return text.substr(b, e - b + 1);
}

} // namespace tovaro
