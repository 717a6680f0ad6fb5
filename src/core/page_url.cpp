#include "page_url.h"

#include "paths.h"
#include "text.h"

namespace tovaro {

namespace {

// Which bytes a URL part must percent-encode: those below `below`, DEL and `specials`.
struct EncodeSet {
    bool encode[256] = {};
    EncodeSet(std::string_view specials, unsigned char below)
    {
        for (unsigned c = 0; c < below; ++c)
            encode[c] = true;
        encode[0x7F] = true;
        for (char c : specials)
            encode[static_cast<unsigned char>(c)] = true;
    }
};

// Percent-encodes the bytes of `set`, and every byte that is not part of a valid UTF-8
// sequence: a browser sends a link's path as UTF-8, so only valid UTF-8 can stay as it is.
void AppendPercentEncoded(std::string& out, std::string_view text, const EncodeSet& set)
{
    for (size_t i = 0; i < text.size();) {
        // A run of ASCII bytes that stay as they are, appended at once.
        size_t run = i;
        while (run < text.size() && static_cast<unsigned char>(text[run]) < 0x80
            && !set.encode[static_cast<unsigned char>(text[run])])
            ++run;
        if (run != i) {
            out.append(text.substr(i, run - i));
            i = run;
            continue;
        }
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const size_t n = Utf8SequenceLength(text, i);
            if (n > 0) {
                out.append(text.substr(i, n));
                i += n;
                continue;
            }
        } else if (!set.encode[c]) {
            out.push_back(text[i++]);
            continue;
        }
        out.push_back('%');
        AppendHexByte(out, c);
        ++i;
    }
}

} // namespace

std::string MakePageUrl(
    std::string_view filePath, std::string_view siteDir, std::string_view webRoot, PathStyle style)
{
    std::string_view rel = filePath;
    // The site directory is removed only as a leading part ending at a separator, so that
    // /site does not strip /site2/a.htm.
    if (std::optional<std::string_view> below = BelowFolder(filePath, siteDir, style)) {
        rel = *below;
        if (!rel.empty() && IsSeparator(rel.front(), style))
            rel.remove_prefix(1);
    }
    // A link's path has "/" between its parts; on Linux a "\" is part of a name.
    std::string slashed;
    if (style == PathStyle::Windows && rel.find('\\') != std::string_view::npos) {
        slashed.assign(rel);
        for (char& c : slashed) {
            if (c == '\\')
                c = '/';
        }
        rel = slashed;
    }

    std::string url;
    url.reserve(webRoot.size() + rel.size() + 8);
    if (!webRoot.empty()) {
        static const EncodeSet kWebRoot("\"'<>\\", 0x20);
        AppendPercentEncoded(url, webRoot, kWebRoot);
        if (webRoot.back() != '/')
            url.push_back('/');
    }
    // A ":" in the relative path would make its first part a URL scheme ("javascript:").
    // A "&" would start a character reference in the link.
    static const EncodeSet kRelative("\"#%&':<>?\\^`{|}", 0x21);
    AppendPercentEncoded(url, rel, kRelative);
    return url;
}

} // namespace tovaro
