#include "pattern.h"

#include "text.h"

#include <cstdint>
#include <vector>

namespace tovaro {

std::string JoinPath(std::string_view dir, std::string_view name)
{
    std::string out(dir);
    if (out.empty() || out.back() != '/')
        out.push_back('/');
    out.append(name);
    return out;
}

namespace {

std::vector<uint32_t> Decode(std::string_view s, bool utf8)
{
    std::vector<uint32_t> out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        auto c = static_cast<unsigned char>(s[i]);
        if (!utf8 || c < 0x80) {
            out.push_back(c);
            ++i;
            continue;
        }
        int extra = (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : 3;
        uint32_t cp = c & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(cp);
        i += extra + 1;
    }
    return out;
}

enum class ItemKind { Literal, Any, Digit, List };

struct Item {
    ItemKind kind = ItemKind::Literal;
    uint32_t ch = 0;
    bool negate = false;
    std::vector<std::pair<uint32_t, uint32_t>> ranges;
    bool star = false;
};

// Parses the pattern into items; returns false when it is not valid.
bool Compile(const std::vector<uint32_t>& p, std::vector<Item>& items)
{
    for (size_t i = 0; i < p.size(); ++i) {
        uint32_t c = p[i];
        Item it;
        it.kind = ItemKind::Literal;
        if (c == '*') {
            it.star = true;
        } else if (c == '?') {
            it.kind = ItemKind::Any;
        } else if (c == '#') {
            it.kind = ItemKind::Digit;
        } else if (c == '[') {
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
            for (size_t k = start; k < j; ++k) {
                if (p[k] == '-' && k > start && k + 1 < j) {
                    // A range: the previous character is its low end.
                    uint32_t lo = it.ranges.back().first;
                    uint32_t hi = p[k + 1];
                    if (hi < lo)
                        return false;
                    it.ranges.back().second = hi;
                    ++k;
                } else {
                    it.ranges.push_back({ p[k], p[k] });
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

bool MatchOne(const Item& it, uint32_t c)
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

// Greedy matching with one backtracking point per star: linear in practice, quadratic at
// worst, never exponential.
bool MatchItems(const std::vector<uint32_t>& t, const std::vector<Item>& items)
{
    size_t ti = 0;
    size_t pi = 0;
    size_t starPi = SIZE_MAX;
    size_t starTi = 0;
    while (ti < t.size()) {
        if (pi < items.size() && items[pi].star) {
            starPi = pi++;
            starTi = ti;
        } else if (pi < items.size() && MatchOne(items[pi], t[ti])) {
            ++pi;
            ++ti;
        } else if (starPi != SIZE_MAX) {
            pi = starPi + 1;
            ti = ++starTi;
        } else {
            return false;
        }
    }
    while (pi < items.size() && items[pi].star)
        ++pi;
    return pi == items.size();
}

} // namespace

bool MatchesPattern(std::string_view text, std::string_view pattern)
{
    bool utf8 = IsValidUtf8(text) && IsValidUtf8(pattern);
    std::vector<Item> items;
    if (!Compile(Decode(pattern, utf8), items))
        return false;
    return MatchItems(Decode(text, utf8), items);
}

bool MatchesFileNamePattern(std::string_view name, std::string_view patterns)
{
    const std::string lowerName = LowerText(name);
    const bool utf8 = IsValidUtf8(name);
    size_t pos = 0;
    while (pos <= patterns.size()) {
        size_t semi = patterns.find(';', pos);
        std::string_view one = TrimBlanks(patterns.substr(
            pos, semi == std::string_view::npos ? std::string_view::npos : semi - pos));
        if (!one.empty()) {
            std::string p = LowerText(one);
            if (p == "*.*")
                return true;
            std::vector<Item> items;
            for (uint32_t c : Decode(p, utf8 && IsValidUtf8(p))) {
                Item it;
                it.kind = c == '?' ? ItemKind::Any : ItemKind::Literal;
                it.ch = c;
                it.star = c == '*';
                items.push_back(it);
            }
            if (MatchItems(Decode(lowerName, utf8 && IsValidUtf8(p)), items))
                return true;
        }
        if (semi == std::string_view::npos)
            break;
        pos = semi + 1;
    }
    return false;
}

} // namespace tovaro
