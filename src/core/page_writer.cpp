#include "page_writer.h"

#include "text.h"

#include <algorithm>
#include <charconv>

namespace tovaro {

namespace {

void Line(std::string& out, const std::string& text)
{
    out.append(text);
    out.append("\r\n");
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

void AppendPageHead(std::string& out, const Appearance& a)
{
    // German for screen readers, and a page that phones show at their own width.
    Line(out, "<html lang=\"de\">");
    Line(out, "<head>");
    Line(out, "<meta charset=\"utf-8\">");
    Line(out, "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">");
    // A long address without break points would widen the results past a phone's screen.
    // "break-word" wraps it as "anywhere" does there, but leaves the size the links ask for as
    // it is: with "anywhere", Chromium took twice as long to lay out 20,000 hits.
    Line(out, "<style>a { overflow-wrap: break-word; }</style>");
    Line(out, "<title>" + ReplaceAll(ToUtf8(a.heading), "<", "&lt;") + "</title>");
    Line(out, "<script language=\"JavaScript\">");
    Line(out, "<!--");
    Line(out, "");
    Line(out, "var Daten = new Array();");
    // The index scripts below fill these whether or not there is a query.
    Line(out,
        "var keys = new Array(); var tits = new Array(); var descs = new Array(); var urls = new "
        "Array();");
    // Titles and descriptions are markup ("&amp;", "&lt;"): the search compares the text they
    // show, so that "a & b" finds what the results show as "a & b", and "amp" finds nothing.
    Line(out,
        "function Klartext(s){ return s.indexOf('&') < 0 ? s : "
        "s.replace(/&lt;/g,'<').replace(/&gt;/g,'>').replace(/&amp;/g,'&'); }");
    // The query is split before it is decoded, so that an encoded "=", "&" or "+" in the
    // search word stays part of it.
    Line(out,
        "Daten=location.search.substring(1,location.search.length).replace(/\\+/g,\" \")"
        ".split(\"=\");");
    Line(out, "");
    Line(out, "if (Daten[0] != ''){");
    Line(out, "if (Daten.length < 2){ Daten[1]=''; } else { Daten[1]=Daten[1].split(\"&\")[0]; }");
    Line(out, "try { Daten[1]=decodeURIComponent(Daten[1]); }");
    Line(out, "catch (e) { Daten[1]=unescape(Daten[1]); }");
    Line(out, "Daten[1]=Daten[1].toLowerCase();");
    Line(out, "");
    Line(out, "if (Daten[1].length > 0){");
    // The search word is shown as text, never as markup.
    Line(out,
        "    document.writeln('" + FontOpen(a, ScriptAttributeValue)
            + "Suche nach <b>' + "
              "Daten[1].replace(/&/g,'&amp;').replace(/</g,'&lt;').replace(/>/g,'&gt;') + "
              "'</b><hr>');");
    Line(out,
        "var found=0; var found2 = 0; var keys = new Array(); var tits = new Array(); var descs "
        "= new Array(); var urls = new Array();");
    Line(out,
        "var found=0; var found2=0; var keys = new Array(); var tits = new Array(); var descs = "
        "new Array(); var urls = new Array();");
    Line(out, "}}");
    Line(out, "-->");
    Line(out, "</script>");
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

void AppendPageTail(std::string& out, size_t m, const Appearance& a)
{
    static const char* const kLoop[] = {
        "    found2=0;",
        "",
        "     if (keys[i].toLowerCase().indexOf(Daten[1]) >= 0){",
        "    hits.push('<b>' + tits[i] + '</b><br>');",
        "    hits.push(descs[i] + '<br><br>');",
        "    hits.push('<a href=\" ' + urls[i] + '\" target=\"_blank\">' + urls[i] + "
        "'</a><br><br>');",
        "",
        "    found ++;",
        "       found2=1;",
        "   }",
        "     if (Klartext(descs[i]).toLowerCase().indexOf(Daten[1]) >= 0 && found2 == 0){",
        "    hits.push('<b>' + tits[i] + '</b><br>');",
        "    hits.push(descs[i] + '<br><br>');",
        "    hits.push('<a href=\"' + urls[i] + '\" target=\"_blank\">' + urls[i] + "
        "'</a><br><br>');",
        "",
        "    found ++;",
        "        found2=1;",
        "    }",
        "     if (Klartext(tits[i]).toLowerCase().indexOf(Daten[1]) >= 0 && found2 == 0){",
        "    hits.push('<b>' + tits[i] + '</b><br>');",
        "    hits.push(descs[i] + '<br><br>');",
        "    hits.push('<a href=\"' + urls[i] + '\" target=\"_blank\">' + urls[i] + "
        "'</a><br><br>');",
        "",
        "    found ++;",
        "     ",
        "    }",
        "}",
        // The hits are written at once, 500 to a block that the browser lays out only once it
        // comes into view: a document.writeln per line, or all lines in one flow, took a browser
        // up to a minute and more for 100,000 hits. Within the blocks the text is the same, line
        // for line.
        "for (var k = 0; k < hits.length; k += 1500) document.writeln('<div "
        "style=\"content-visibility: "
        "auto; contain-intrinsic-size: auto 45000px\">' + hits.slice(k, k + 1500).join('\\n') + "
        "'</div>');",
        "",
        "    document.writeln('<hr>' + found + ' Ergebnisse gefunden.');",
        "}}",
        "-->",
        "</script>",
        "</head>",
    };
    if (m > 0)
        Line(out, "</script>");
    Line(out, "<script language=\"JavaScript\">");
    Line(out, "<!--");
    Line(out, "if (Daten[0] != ''){");
    Line(out, "if (Daten[1].length > 0){");
    Line(out, "var hits = new Array();");
    Line(out, "for (var i = 0;i<" + std::to_string(m) + ";i++){");
    for (const char* line : kLoop)
        Line(out, line);
    Line(out, "<body bgcolor=\"" + AttributeValue(a.backgroundColour) + "\">");
    Line(out, "<form role=\"search\" onSubmit=\"return lookup()\">");
    Line(out,
        FontOpen(a, AttributeValue)
            + "Suchbegriff: <input type=text name=\"lookup\" value=\"\" "
              "aria-label=\"Suchbegriff\">&nbsp; "
              "<input "
              "type=submit value=\"Suchen\">");
    Line(out, "</form>");
    Line(out, "</body>");
    Line(out, "</html>");
}

} // namespace tovaro
