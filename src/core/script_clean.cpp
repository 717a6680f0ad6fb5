#include "script_clean.h"

#include "text.h"

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

} // namespace

void CleanForScriptInPlace(PageFields& fields)
{
    // Keywords are only searched, never shown: the script escape keeps their text. Titles and
    // descriptions are written into the results as markup, so "<" becomes the entity, which
    // shows as a browser shows a title or a meta text.
    CleanField(fields.keywords, true, "\\x3C");
    CleanField(fields.title, false, "&lt;");
    CleanField(fields.description, false, "&lt;");
}

} // namespace tovaro
