#include "script_clean.h"

#include "char_refs.h"
#include "platform/unicode.h"
#include "text.h"

#include <array>
#include <string_view>

namespace tovaro {

namespace {

// What one pass over a field finds; most fields need none of the steps below. The pass ORs one
// byte of flags per input byte, which keeps it at a few instructions a byte.
struct Found {
    enum : unsigned char {
        kQuote = 1, // "'" or "\\"
        kLess = 2,
        kAmpersand = 4,
        kHigh = 8, // not ASCII
        kMarks = 16, // from 0xCC up: a code point from U+0300, or not UTF-8
        kControl = 32, // a control character of ASCII (a tab, a NUL byte) or DEL
        kSpecial = 64, // may start a C1 control or a space other than the plain one
    };
    bool quotes = false;
    bool less = false;
    bool ampersand = false;
    bool ascii = true;
    bool marksPossible = false;
    bool controls = false;
    bool special = false;

    explicit Found(std::string_view text)
    {
        static constexpr std::array<unsigned char, 256> kFlags = [] {
            std::array<unsigned char, 256> flags {};
            flags['\''] = flags['\\'] = kQuote;
            flags['<'] = kLess;
            flags['&'] = kAmpersand;
            for (size_t b = 0; b < 0x20; ++b)
                flags[b] = kControl;
            flags[0x7F] = kControl;
            for (size_t b = 0x80; b < 0x100; ++b)
                flags[b] = static_cast<unsigned char>(kHigh | (b >= 0xCC ? kMarks : 0));
            // The lead bytes of U+0080 to U+00A0, U+1680, U+2000 to U+205F, U+3000 and U+FEFF in
            // UTF-8, and the undefined bytes and the non-breaking space of windows-1252.
            for (unsigned char b :
                { 0xC2, 0xE1, 0xE2, 0xE3, 0xEF, 0x81, 0x8D, 0x8F, 0x90, 0x9D, 0xA0 })
                flags[b] |= kSpecial;
            return flags;
        }();
        unsigned char all = 0;
        for (char c : text)
            all |= kFlags[static_cast<unsigned char>(c)];
        quotes = (all & kQuote) != 0;
        less = (all & kLess) != 0;
        ampersand = (all & kAmpersand) != 0;
        ascii = (all & kHigh) == 0;
        marksPossible = (all & kMarks) != 0;
        controls = (all & kControl) != 0;
        special = (all & kSpecial) != 0;
    }
};

// The spaces other than the plain one, as the search page's script knows them (its "\s" less the
// ASCII controls): the search compares each as a plain space.
bool IsOtherSpace(char32_t c)
{
    return c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029
        || c == 0x202F || c == 0x205F || c == 0x3000 || c == 0xFEFF;
}

// Control characters become blanks: a NUL byte or an escape in a title would stand raw in the
// page's script, and tools take such a page for a binary file. Besides those of ASCII and DEL,
// the C1 controls U+0080 to U+009F (in UTF-8, or the five bytes windows-1252 leaves undefined,
// which browsers read as them). A space other than the plain one becomes a plain space in the
// keywords, which are only searched; in the title and description, which the page shows, it
// stays what it is, written as a numeric reference, which the page's search compares as a plain
// space (and which cannot end the script string, as a raw U+2028 would in older browsers).
void CleanCharacters(std::string& text, bool markup)
{
    const bool utf8 = IsValidUtf8(text);
    std::string out;
    out.reserve(text.size() + 8);
    auto space = [&out, markup](char32_t c) {
        if (markup)
            out.append("&#" + std::to_string(static_cast<unsigned long>(c)) + ";");
        else
            out.push_back(' ');
    };
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        char32_t code = c;
        size_t n = 1;
        if (c >= 0x80 && utf8)
            n = DecodeUtf8(text, i, code);
        else if (c >= 0x80)
            code = Windows1252Char(c);
        if (code < 0x20 || (code >= 0x7F && code <= 0x9F))
            out.push_back(' ');
        else if (IsOtherSpace(code))
            space(code);
        else
            out.append(text, i, n);
        i += n;
    }
    text.swap(out);
}

// The field as the browser reads it: its character references decoded (into UTF-8) and its
// letters composed, so that the search compares the text that the results show. A windows-1252
// field without "&" stays as it is: it holds no combining letters. Then apostrophes removed and
// backslashes doubled, the keywords lower-cased, and "<" written as `less`, so that a field can
// never end the page's script element.
void CleanField(std::string& text, bool markup, std::string_view less)
{
    Found found(text);
    if (found.ampersand) {
        text = DecodeCharacterReferences(found.ascii ? text : ToUtf8(text), markup);
        found = Found(text);
    }
    // Below U+0300, where the combining marks begin, every text is composed already: German and
    // other Latin-1 text never reaches the normalisation.
    if (found.marksPossible && IsValidUtf8(text))
        text = ComposeNfc(text);
    if (found.controls || found.special)
        CleanCharacters(text, markup);
    if (found.quotes) {
        std::string out;
        out.reserve(text.size() + 8);
        for (char c : text) {
            if (c == '\\')
                out.append("\\\\");
            else if (c != '\'')
                out.push_back(c);
        }
        text.swap(out);
    }
    if (!markup)
        LowerTextInPlace(text); // the keywords
    if (found.less)
        text = ReplaceAll(text, "<", less);
}

} // namespace

void CleanForScriptInPlace(PageFields& fields)
{
    // Keywords are only searched, never shown: the script escape keeps their text, and a decoded
    // "&" is itself. Titles and descriptions are written into the results as markup, so "<"
    // becomes the entity and a decoded "&" stays "&amp;", which show as a browser shows a title
    // or a meta text.
    CleanField(fields.keywords, false, "\\x3C");
    CleanField(fields.title, true, "&lt;");
    CleanField(fields.description, true, "&lt;");
}

} // namespace tovaro
