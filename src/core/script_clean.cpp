#include "script_clean.h"

#include "char_refs.h"
#include "platform/unicode.h"
#include "text.h"

#include <algorithm>
#include <string_view>

namespace tovaro {

namespace {

// Apostrophes removed and backslashes doubled; then "<" written as `less`, so that a field can
// never end the page's script element. Keywords are lower-cased in between. Most fields need
// none of it and are left as they are.
void CleanField(std::string& text, bool lowerCase, std::string_view less)
{
    bool quotes = false;
    bool hasLess = false;
    for (char c : text) {
        quotes = quotes || c == '\'' || c == '\\';
        hasLess = hasLess || c == '<';
    }
    if (quotes) {
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
    if (lowerCase)
        LowerTextInPlace(text);
    if (hasLess)
        text = ReplaceAll(text, "<", less);
}

// The field as the browser reads it: its character references decoded (into UTF-8) and its
// letters composed, so that the search compares the text that the results show. A field of
// plain ASCII without "&" is left as it is, and so is a windows-1252 field without "&", which
// holds no combining letters.
void DecodeField(std::string& text, bool markup)
{
    bool ampersand = false;
    bool ascii = true;
    for (char c : text) {
        ampersand = ampersand || c == '&';
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    }
    if (ampersand) {
        text = DecodeCharacterReferences(ascii ? text : ToUtf8(text), markup);
        ascii = std::all_of(
            text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    }
    if (!ascii && IsValidUtf8(text))
        text = ComposeNfc(text);
}

} // namespace

void CleanForScriptInPlace(PageFields& fields)
{
    // The title and the description are shown as markup: a decoded "&" stays "&amp;" there.
    DecodeField(fields.keywords, false);
    DecodeField(fields.title, true);
    DecodeField(fields.description, true);

    // Keywords are only searched, never shown: the script escape keeps their text. Titles and
    // descriptions are written into the results as markup, so "<" becomes the entity, which
    // shows as a browser shows a title or a meta text.
    CleanField(fields.keywords, true, "\\x3C");
    CleanField(fields.title, false, "&lt;");
    CleanField(fields.description, false, "&lt;");
}

} // namespace tovaro
