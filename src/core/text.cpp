#include "text.h"

namespace tovaro {

bool IsValidUtf8(std::string_view text)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int extra;
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
            return false;
        }
        if (end - p <= extra)
            return false;
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        p += extra + 1;
    }
    return true;
}

std::string LowerAscii(std::string_view text)
{
    std::string out(text);
    for (char& ch : out) {
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch + ('a' - 'A'));
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
    const bool utf8 = IsValidUtf8(out);
    for (char& ch : out) {
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch + ('a' - 'A'));
    }
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

std::string RemoveChar(std::string_view text, char c)
{
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        if (ch != c)
            out.push_back(ch);
    }
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
