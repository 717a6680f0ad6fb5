#include "pattern.h"

#include "text.h"

#include <cstdint>
#include <vector>

namespace tovaro {

namespace {

// The character at `pos` (a code point in UTF-8 mode, else one byte); returns the position after.
size_t NextChar(std::string_view s, size_t pos, bool utf8, uint32_t& cp)
{
    const auto c = static_cast<unsigned char>(s[pos]);
    char32_t decoded = c;
    const size_t n = utf8 && c >= 0x80 ? DecodeUtf8(s, pos, decoded) : 1;
    cp = decoded;
    return pos + (n == 0 ? 1 : n); // a text in UTF-8 mode is valid UTF-8
}

std::vector<uint32_t> Decode(std::string_view s, bool utf8)
{
    std::vector<uint32_t> out;
    out.reserve(s.size());
    uint32_t cp;
    for (size_t i = 0; i < s.size();) {
        i = NextChar(s, i, utf8, cp);
        out.push_back(cp);
    }
    return out;
}

} // namespace

// Parses the pattern into items; returns false when it is not valid.
bool PatternItems::Compile(const std::vector<uint32_t>& p, bool wildcardsOnly)
{
    items.clear();
    for (size_t i = 0; i < p.size(); ++i) {
        uint32_t c = p[i];
        Item it;
        if (c == '*') {
            it.star = true;
        } else if (c == '?') {
            it.kind = ItemKind::Any;
        } else if (!wildcardsOnly && c == '#') {
            it.kind = ItemKind::Digit;
        } else if (!wildcardsOnly && c == '[') {
            size_t j = i + 1;
            it.kind = ItemKind::List;
            if (j < p.size() && p[j] == '!') {
                it.negate = true;
                ++j;
            }
            size_t start = j;
            while (j < p.size() && p[j] != ']')
                ++j;
            if (j >= p.size())
                return false; // unclosed list
            // Left to right, "x-y" is a range; any other "-" stands for itself.
            for (size_t k = start; k < j;) {
                if (k + 2 < j && p[k + 1] == '-') {
                    if (p[k + 2] < p[k])
                        return false; // a range written high-low
                    it.ranges.push_back({ p[k], p[k + 2] });
                    k += 3;
                } else {
                    it.ranges.push_back({ p[k], p[k] });
                    ++k;
                }
            }
            i = j;
        } else {
            it.ch = c;
        }
        items.push_back(std::move(it));
    }
    return true;
}

bool PatternItems::MatchOne(const Item& it, uint32_t c)
{
    switch (it.kind) {
    case ItemKind::Literal:
        return c == it.ch;
    case ItemKind::Any:
        return true;
    case ItemKind::Digit:
        return c >= '0' && c <= '9';
    case ItemKind::List: {
        bool in = false;
        for (const auto& r : it.ranges) {
            if (c >= r.first && c <= r.second) {
                in = true;
                break;
            }
        }
        return in != it.negate;
    }
    }
    return false;
}

// Greedy matching with one backtracking point per star: linear in practice, quadratic at worst,
// never exponential. Works on the text's bytes, a character at a time.
bool PatternItems::Match(std::string_view t, bool utf8) const
{
    size_t ti = 0;
    size_t pi = 0;
    size_t starPi = SIZE_MAX;
    size_t starTi = 0;
    uint32_t c;
    while (ti < t.size()) {
        if (pi < items.size() && items[pi].star) {
            starPi = pi++;
            starTi = ti;
            continue;
        }
        size_t next = NextChar(t, ti, utf8, c);
        if (pi < items.size() && MatchOne(items[pi], c)) {
            ++pi;
            ti = next;
        } else if (starPi != SIZE_MAX) {
            pi = starPi + 1;
            uint32_t skipped;
            starTi = NextChar(t, starTi, utf8, skipped);
            ti = starTi;
        } else {
            return false;
        }
    }
    while (pi < items.size() && items[pi].star)
        ++pi;
    return pi == items.size();
}

PathPattern::PathPattern(std::string_view pattern)
    : patternUtf8_(IsValidUtf8(pattern))
{
    patternAscii_ = true;
    for (char c : pattern)
        patternAscii_ = patternAscii_ && static_cast<unsigned char>(c) < 0x80;
    // A pattern of literals and stars only (such as "*.ht*") is matched by plain substring
    // search where bytes and characters agree.
    if (pattern.find_first_of("?#[") == std::string_view::npos) {
        literalOnly_ = true;
        size_t pos = 0;
        for (;;) {
            size_t star = pattern.find('*', pos);
            segments_.emplace_back(pattern.substr(
                pos, star == std::string_view::npos ? std::string_view::npos : star - pos));
            if (star == std::string_view::npos)
                break;
            pos = star + 1;
        }
    }
    // The pattern is read one way for every text: as UTF-8 where it is valid UTF-8, otherwise
    // byte by byte.
    valid_ = items_.Compile(Decode(pattern, patternUtf8_), false);
}

bool PathPattern::Matches(std::string_view text) const
{
    if (!valid_)
        return false;
    bool ascii = true;
    for (char c : text)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    const bool textUtf8 = ascii || IsValidUtf8(text);
    // An ASCII run found in the bytes is the same characters in either reading, and so is any
    // run when pattern and text are read alike.
    if (literalOnly_ && (patternAscii_ || patternUtf8_ == textUtf8))
        return MatchesLiteralSegments(text);
    return items_.Match(text, !ascii && textUtf8);
}

bool PathPattern::MatchesLiteralSegments(std::string_view text) const
{
    // segments_ holds the texts between the stars: the first must start the text, the last
    // must end it, and the ones between must follow in order.
    if (segments_.size() == 1)
        return text == segments_[0];
    const std::string& first = segments_.front();
    const std::string& last = segments_.back();
    if (text.size() < first.size() + last.size() || text.substr(0, first.size()) != first
        || text.substr(text.size() - last.size()) != last)
        return false;
    size_t pos = first.size();
    const size_t end = text.size() - last.size();
    for (size_t i = 1; i + 1 < segments_.size(); ++i) {
        const std::string& seg = segments_[i];
        if (seg.empty())
            continue;
        size_t hit = text.substr(0, end).find(seg, pos);
        if (hit == std::string_view::npos)
            return false;
        pos = hit + seg.size();
    }
    return true;
}

bool MatchesPattern(std::string_view text, std::string_view pattern)
{
    return PathPattern(pattern).Matches(text);
}

FileNamePattern::FileNamePattern(std::string_view patterns)
{
    size_t pos = 0;
    for (;;) {
        size_t semi = patterns.find(';', pos);
        std::string_view one = TrimBlanks(patterns.substr(
            pos, semi == std::string_view::npos ? std::string_view::npos : semi - pos));
        if (!one.empty()) {
            std::string p = LowerText(one);
            if (p == "*.*") {
                matchAll_ = true;
            } else {
                PatternItems items;
                items.Compile(Decode(p, IsValidUtf8(p)), true);
                alternatives_.push_back(std::move(items));
            }
        }
        if (semi == std::string_view::npos)
            break;
        pos = semi + 1;
    }
}

bool FileNamePattern::Matches(std::string_view name) const
{
    if (matchAll_)
        return true;
    if (alternatives_.empty())
        return false;
    static thread_local std::string lower;
    lower.assign(name);
    LowerTextInPlace(lower);
    const bool nameUtf8 = IsValidUtf8(lower);
    for (const PatternItems& alt : alternatives_) {
        if (alt.Match(lower, nameUtf8))
            return true;
    }
    return false;
}

bool MatchesFileNamePattern(std::string_view name, std::string_view patterns)
{
    return FileNamePattern(patterns).Matches(name);
}

} // namespace tovaro
