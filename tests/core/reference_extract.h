// A plain transcription of the head-scan rules, line by line, with no regard to speed: the
// scanner is checked against it by the core tests and the fuzz target.
#pragma once

#include "core/head_scan.h"

#include <string>
#include <string_view>
#include <vector>

namespace reference {

inline std::string Lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    }
    return out;
}

inline std::string RemoveAll(std::string s, const std::string& what)
{
    std::string out;
    size_t pos = 0;
    for (size_t hit; (hit = s.find(what, pos)) != std::string::npos; pos = hit + what.size())
        out += s.substr(pos, hit - pos);
    return out + s.substr(pos);
}

inline void Meta(std::string tag, tovaro::PageFields& f)
{
    tag = RemoveAll(tag, "<meta ");
    tag = tag.substr(0, tag.find('>'));
    std::vector<std::string> pieces;
    size_t pos = 0;
    for (size_t eq; (eq = tag.find('=', pos)) != std::string::npos; pos = eq + 1)
        pieces.push_back(tag.substr(pos, eq - pos));
    pieces.push_back(tag.substr(pos));
    for (size_t j = 0; j + 2 < pieces.size(); ++j) {
        if (Lower(pieces[j]) != "name")
            continue;
        const std::string key = Lower(pieces[j + 1].substr(0, pieces[j + 1].find(' ')));
        if (key == "\"keywords\"")
            f.keywords = RemoveAll(pieces[j + 2], "\"");
        else if (key == "\"description\"")
            f.description = RemoveAll(pieces[j + 2], "\"");
    }
}

// Returns true at the end of the head.
inline bool Line(std::string line, tovaro::PageFields& f)
{
    std::string low = Lower(line);
    const size_t end = low.find("</head>");
    if (end != std::string::npos) {
        line.resize(end);
        low.resize(end);
    }
    const size_t t = low.find("<title");
    if (t != std::string::npos) {
        const size_t p = low.find("<title>");
        const size_t q = low.find("</title>");
        size_t start = std::string::npos;
        if (p != std::string::npos)
            start = p + 7;
        else if (t + 6 < low.size() && (low[t + 6] == ' ' || low[t + 6] == '\t')
            && low.find('>', t + 6) != std::string::npos)
            start = low.find('>', t + 6) + 1;
        if (start != std::string::npos && q != std::string::npos && q >= start)
            f.title = line.substr(start, q - start);
    }
    for (size_t m = low.find("<meta"); m != std::string::npos; m = low.find("<meta", m + 1))
        Meta(line.substr(m), f);
    return end != std::string::npos;
}

inline tovaro::PageFields Extract(std::string_view bytes)
{
    tovaro::PageFields f;
    std::string line;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') {
            line.push_back(c);
            continue;
        }
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        if (Line(line, f))
            return f;
        line.clear();
    }
    Line(line, f);
    return f;
}

} // namespace reference
