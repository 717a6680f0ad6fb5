// Character references in the fields a page's head gives: "&ouml;", "&#246;", "&#xF6;".
#pragma once

#include <string>
#include <string_view>

namespace tovaro {

/// The UTF-8 text with every character reference decoded as a browser decodes it: numeric
/// references (a missing ";" accepted; 0, surrogates and numbers past U+10FFFF as U+FFFD, 128 to
/// 159 as windows-1252 has them) and the named references of HTML 4 with their ";". What is no
/// reference, or names none known, stays as written. With `markup` (the title and the
/// description, which the search page shows as markup) a decoded "&" is written "&amp;", so that
/// it shows as itself. A decoded line break becomes a blank, as a browser shows it.
std::string DecodeCharacterReferences(std::string_view text, bool markup);

} // namespace tovaro
