// The link of an indexed page: its path relative to the site folder, after the web root URL.
#pragma once

#include "base/path_text.h"

#include <string>
#include <string_view>

namespace tovaro {

/// The page's URL: the path relative to the site directory (only when the path lies below it),
/// with "/" between its parts, percent-encoded where a byte would break the page, after the
/// web root URL.
std::string MakePageUrl(
    std::string_view filePath, std::string_view siteDir, std::string_view webRoot, PathStyle style);

} // namespace tovaro
