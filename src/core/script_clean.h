// The fields of a page made fit for the search page's script: each stands in a single-quoted
// JavaScript string and, where the page shows it, as markup.
#pragma once

#include "head_scan.h"

namespace tovaro {

/// Removes apostrophes, doubles backslashes and lower-cases the keywords, so that each field can
/// stand in a single-quoted script string; every "<" becomes "&lt;" in the title and the
/// description, which the page shows as markup, and the script escape \x3C in the keywords.
void CleanForScriptInPlace(PageFields& fields);

} // namespace tovaro
