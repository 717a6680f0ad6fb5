// The search page: a fixed head, four script lines per indexed page, a fixed tail. Every line
// ends with CR LF. The page declares UTF-8 and holds only UTF-8: an inserted value that is
// valid UTF-8 is written as it is, any other is read as windows-1252 and converted. The
// appearance values are escaped only as far as their place in the page needs, so that every
// value works: a '"' in an attribute, a quote, a backslash or "<" in the script line, a "<" in
// the title.
#pragma once

#include "appearance.h"

#include <cstddef>
#include <string>

namespace tovaro {

/// One indexed page, its fields already cleaned for the script.
struct PageEntry {
    std::string url;
    std::string keywords;
    std::string title;
    std::string description;
};

/// How the page's search compares the search word with the fields.
struct SearchRules {
    /// German spelling variants count as the same: "strasse", "straße" and "STRASSE" find the
    /// same pages, "muenchen" finds "München", "cafe" finds "Café".
    bool spellingVariants = false;
};

/// How many entries one script element of the index holds.
constexpr size_t kEntriesPerScript = 1000;

/// The page is written in three parts: the head, whose script reads the query, one entry block
/// per indexed page (numbered from 0, in script elements of kEntriesPerScript entries), and the
/// tail, whose script lists the hits and which holds the search form.
void AppendPageHead(std::string& out, const Appearance& appearance, const SearchRules& rules = {});
void AppendEntryBlock(std::string& out, size_t number, const PageEntry& entry);
void AppendPageTail(std::string& out, size_t entryCount, const Appearance& appearance,
    const SearchRules& rules = {});

} // namespace tovaro
