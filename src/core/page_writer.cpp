#include "page_writer.h"

#include "text.h"

#include <algorithm>
#include <charconv>
#include <initializer_list>
#include <map>
#include <string_view>
#include <vector>

namespace tovaro {

extern const char kSearchPageTemplate[];

namespace {

// The head, the tail and the lines of one hit, as search_page.tmpl gives them (embedded in the
// program at build time), parsed once: its comments left out, each "@hit@" line replaced by
// the hit's lines. The placeholders of the appearance and the count stay for AppendLines.
struct Template {
    std::vector<std::string> head;
    std::vector<std::string> tail;
};

constexpr std::string_view kVariantsOnly = "@variants@";
constexpr std::string_view kPlainOnly = "@plain@";

Template ParseTemplate(std::string_view text)
{
    std::map<std::string, std::vector<std::string>, std::less<>> sections;
    std::vector<std::string>* current = nullptr;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        constexpr std::string_view kSection = "@section ";
        if (line.substr(0, 2) == "##")
            continue;
        if (line.substr(0, kSection.size()) == kSection && line.back() == '@')
            current = &sections[std::string(
                line.substr(kSection.size(), line.size() - kSection.size() - 1))];
        else if (current != nullptr)
            current->emplace_back(line);
    }
    Template t { std::move(sections["head"]), {} };
    for (const std::string& line : sections["tail"]) {
        if (line != "@hit@" && line != "@hit spaced@") {
            t.tail.push_back(line);
            continue;
        }
        for (const std::string& hit : sections["hit"])
            t.tail.push_back(ReplaceAll(hit, "@space@", line == "@hit@" ? "" : " "));
    }
    return t;
}

const Template& PageTemplate()
{
    static const Template parsed = ParseTemplate(kSearchPageTemplate);
    return parsed;
}

struct Value {
    std::string_view name;
    std::string_view text;
};

// The lines, each ended with CR LF, every "@name@" replaced by its value's text. A value is put
// in as it is: whatever it holds is never taken for a placeholder. The lines for a page with
// spelling variants are written only where `variants` is set, those for one without only where
// it is not.
void AppendLines(std::string& out, const std::vector<std::string>& lines, bool variants,
    std::initializer_list<Value> values)
{
    for (const std::string& line : lines) {
        std::string_view rest = line;
        // A line for one kind of page only.
        if (rest.substr(0, kVariantsOnly.size()) == kVariantsOnly) {
            if (!variants)
                continue;
            rest.remove_prefix(kVariantsOnly.size());
        } else if (rest.substr(0, kPlainOnly.size()) == kPlainOnly) {
            if (variants)
                continue;
            rest.remove_prefix(kPlainOnly.size());
        }
        for (size_t at; (at = rest.find('@')) != std::string_view::npos;) {
            const size_t close = rest.find('@', at + 1);
            if (close == std::string_view::npos)
                break;
            const std::string_view name = rest.substr(at + 1, close - at - 1);
            const auto* value = std::find_if(
                values.begin(), values.end(), [name](const Value& v) { return v.name == name; });
            if (value == values.end()) { // no placeholder: an "@" of the page itself
                out.append(rest.substr(0, at + 1));
                rest.remove_prefix(at + 1);
                continue;
            }
            out.append(rest.substr(0, at));
            out.append(value->text);
            rest.remove_prefix(close + 1);
        }
        out.append(rest);
        out.append("\r\n");
    }
}

// An appearance value inside a double-quoted attribute: a '"' would end it.
std::string AttributeValue(const std::string& value)
{
    return ReplaceAll(ToUtf8(value), "\"", "&quot;");
}

// An attribute value inside the single-quoted script string of the "Suche nach" line: the
// string's own quote and backslash are escaped first, "<" last, so that "</script>" cannot end
// the script ('Open Sans', Arial is a usual font list).
std::string ScriptAttributeValue(const std::string& value)
{
    std::string v = ReplaceAll(ToUtf8(value), "\\", "\\\\");
    v = ReplaceAll(v, "'", "\\'");
    v = ReplaceAll(v, "\"", "&quot;");
    return ReplaceAll(v, "<", "\\x3C");
}

std::string FontOpen(const Appearance& a, std::string (*escape)(const std::string&))
{
    return "<font face=\"" + escape(a.fontFace) + "\" size=\"" + escape(a.fontSize) + "\" color=\""
        + escape(a.textColour) + "\">";
}

// The page is UTF-8 throughout: a value in another encoding is taken as windows-1252.
void AppendUtf8Value(std::string& out, const std::string& value)
{
    if (IsValidUtf8(value))
        out.append(value);
    else
        out.append(ToUtf8(value));
}

} // namespace

void AppendPageHead(std::string& out, const Appearance& a, const SearchRules& rules)
{
    const std::string heading = ReplaceAll(ToUtf8(a.heading), "<", "&lt;");
    const std::string font = FontOpen(a, ScriptAttributeValue);
    AppendLines(out, PageTemplate().head, rules.spellingVariants,
        { { "heading", heading }, { "font in script", font } });
}

void AppendEntryBlock(std::string& out, size_t n, const PageEntry& e)
{
    // Appended piece by piece: this runs once per page of the site.
    // The index comes in script elements of kEntriesPerScript entries: one script element of
    // many megabytes takes WebKit seconds to read, whatever it holds.
    if (n % kEntriesPerScript == 0) {
        if (n > 0)
            out.append("</script>\r\n");
        out.append("<script language=\"JavaScript\">\r\n");
    }
    char num[24];
    const std::string_view number(
        num, static_cast<size_t>(std::to_chars(num, num + sizeof num, n).ptr - num));
    // Each line's start ("     urls[12]='") is put together on the stack and appended at once.
    auto line = [&](std::string_view array, std::string_view assign, const std::string& value) {
        char head[64];
        char* p = head;
        for (std::string_view piece :
            { std::string_view("     "), array, std::string_view("["), number, assign })
            p = std::copy(piece.begin(), piece.end(), p);
        out.append(head, static_cast<size_t>(p - head));
        AppendUtf8Value(out, value);
        out.append("';\r\n");
    };
    line("urls", "]='", e.url);
    line("keys", "]= '", e.keywords);
    line("tits", "]= '", e.title);
    line("descs", "]= '", e.description);
}

void AppendPageTail(std::string& out, size_t m, const Appearance& a, const SearchRules& rules)
{
    // The index's last script element ends before the tail's.
    if (m > 0)
        out.append("</script>\r\n");
    const std::string count = std::to_string(m);
    const std::string background = AttributeValue(a.backgroundColour);
    const std::string font = FontOpen(a, AttributeValue);
    AppendLines(out, PageTemplate().tail, rules.spellingVariants,
        { { "count", count }, { "background", background }, { "font", font } });
}

} // namespace tovaro
