#include "script_clean.h"

#include "char_refs.h"
#include "platform/unicode.h"
#include "text.h"

#include <string_view>

namespace tovaro {

namespace {

// What one pass over a field finds; most fields need none of the steps below.
struct Found {
    bool quotes = false; // "'" or "\\"
    bool less = false;
    bool ampersand = false;
    bool ascii = true;
    bool marksPossible = false; // a byte from 0xCC up: a code point from U+0300, or not UTF-8

    explicit Found(std::string_view text)
    {
        for (char c : text) {
            const auto b = static_cast<unsigned char>(c);
            quotes = quotes || c == '\'' || c == '\\';
            less = less || c == '<';
            ampersand = ampersand || c == '&';
            ascii = ascii && b < 0x80;
            marksPossible = marksPossible || b >= 0xCC;
        }
    }
};

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
