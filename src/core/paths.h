// Paths on the file system in use: the places the program chooses itself, and where the files
// of a run lie in the site.
#pragma once

#include "base/path_text.h"
#include "platform/file_system.h"

#include <optional>
#include <string>
#include <string_view>

namespace tovaro {

/// Where a new search page goes by default: "lookup.htm" in the program's folder, or in the
/// user's home folder when the program's folder cannot be written (an installed program).
std::string DefaultOutputPath(
    FileSystem& disk, const std::string& programDir, const std::string& homeDir);

/// Where the files of a run lie in the site folder, by their real location: a file lies in the
/// site when its path, as listed, lies below the site folder as given or below its real
/// location, or when the real location of the file's folder does. The file's own name is kept,
/// so a link to a page elsewhere keeps the link's name. Real locations are looked up only when
/// the paths as written do not tell, once per folder in a row.
class SiteLocator {
public:
    /// `siteDir` absolute and normal.
    SiteLocator(FileSystem& disk, std::string siteDir);
    /// The path relative to the site folder, or nothing when the file lies outside.
    std::optional<std::string> Relative(const std::string& filePath);

private:
    std::string RealPath(const std::string& path);

    FileSystem& disk_;
    PathStyle style_;
    std::string site_;
    std::string realSite_;
    std::string lastFolder_; // the last folder looked up, with its real location
    std::string lastRealFolder_;
};

} // namespace tovaro
