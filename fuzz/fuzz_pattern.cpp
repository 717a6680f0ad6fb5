// The recursive add's pattern against a plain, memoised recursive matcher written here.
#include "core/pattern.h"
#include "core/text.h"

#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

std::vector<uint32_t> Chars(const std::string& s, bool utf8)
{
    std::vector<uint32_t> out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (!utf8 || c < 0x80) {
            out.push_back(c);
            ++i;
            continue;
        }
        int n = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
        uint32_t cp = c & (0x3F >> n);
        for (int k = 1; k <= n; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out.push_back(cp);
        i += n + 1;
    }
    return out;
}

struct Reference {
    std::vector<uint32_t> t, p;
    std::map<std::pair<size_t, size_t>, int> memo;
    bool invalid = false;

    // Length of the list starting at p[j] == '[' (up to and with its ']'); 0 when unclosed.
    size_t ListLength(size_t j) const
    {
        size_t k = j + 1;
        if (k < p.size() && p[k] == '!')
            ++k;
        while (k < p.size() && p[k] != ']')
            ++k;
        return k < p.size() ? k - j + 1 : 0;
    }

    bool InList(size_t j, size_t len, uint32_t c)
    {
        size_t k = j + 1;
        bool negate = false;
        if (p[k] == '!') {
            negate = true;
            ++k;
        }
        const size_t end = j + len - 1;
        bool in = false;
        for (size_t a = k; a < end; ++a) {
            if (a + 2 < end && p[a + 1] == '-') {
                if (p[a + 2] < p[a])
                    invalid = true;
                in = in || (c >= p[a] && c <= p[a + 2]);
                a += 2;
            } else {
                in = in || c == p[a];
            }
        }
        return in != negate;
    }

    bool Match(size_t i, size_t j)
    {
        auto key = std::make_pair(i, j);
        auto it = memo.find(key);
        if (it != memo.end())
            return it->second;
        bool r;
        if (j == p.size()) {
            r = i == t.size();
        } else if (p[j] == '*') {
            r = Match(i, j + 1) || (i < t.size() && Match(i + 1, j));
        } else if (p[j] == '[') {
            size_t len = ListLength(j);
            if (len == 0) {
                invalid = true;
                r = false;
            } else {
                r = i < t.size() && InList(j, len, t[i]) && Match(i + 1, j + len);
            }
        } else if (i == t.size()) {
            r = false;
        } else if (p[j] == '?') {
            r = Match(i + 1, j + 1);
        } else if (p[j] == '#') {
            r = t[i] >= '0' && t[i] <= '9' && Match(i + 1, j + 1);
        } else {
            r = t[i] == p[j] && Match(i + 1, j + 1);
        }
        memo[key] = r;
        return r;
    }
};

// Scans the whole pattern for lists that are not valid, as the matcher rejects them up front.
bool PatternValid(Reference& ref)
{
    for (size_t j = 0; j < ref.p.size(); ++j) {
        if (ref.p[j] != '[')
            continue;
        size_t len = ref.ListLength(j);
        if (len == 0)
            return false;
        ref.InList(j, len, 0);
        if (ref.invalid)
            return false;
        j += len - 1;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 200)
        return 0;
    const std::string all(reinterpret_cast<const char*>(data), size);
    const size_t cut = all.find('\0');
    if (cut == std::string::npos)
        return 0;
    const std::string pattern = all.substr(0, cut);
    const std::string text = all.substr(cut + 1);
    // Each is read as characters on its own: UTF-8 where valid, else one byte a character.
    Reference ref;
    ref.t = Chars(text, tovaro::IsValidUtf8(text));
    ref.p = Chars(pattern, tovaro::IsValidUtf8(pattern));
    const bool valid = PatternValid(ref);
    const tovaro::PathPattern compiled(pattern);
    if (compiled.IsValid() != valid)
        std::abort();
    const bool expected = valid && ref.Match(0, 0);
    if (compiled.Matches(text) != expected)
        std::abort();
    return 0;
}
