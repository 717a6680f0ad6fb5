// Paths as text: made absolute and normal, joined, compared with a folder, for both styles of
// path (Linux and Windows), so that either can be tested on any machine.
#pragma once

#include "platform/file_system.h"

#include <optional>
#include <string>
#include <string_view>

namespace tovaro {

/// True for a character that separates the parts of a path ("/", and "\" on Windows).
bool IsSeparator(char c, PathStyle style = Disk().Style());

/// `path` made absolute against `cwd` and normalised lexically: no "." or ".." parts, no
/// doubled separators, no closing separator except for a root ("/", "C:\", "\\server\share\").
/// On Windows both separators are read and "\" is written, the drive letter is upper case,
/// and a "\\?\" prefix is dropped. Links are not resolved.
std::string AbsolutePath(
    std::string_view path, std::string_view cwd, PathStyle style = Disk().Style());

/// The folder that holds `path`: a root with its separator, otherwise without one.
std::string ParentDirectory(std::string_view path, PathStyle style = Disk().Style());

/// `dir` and `name` with exactly one separator between them (none added after a root).
std::string JoinPath(std::string_view dir, std::string_view name, PathStyle style = Disk().Style());

/// Where a new search page goes by default: "lookup.htm" in the program's folder, or in the
/// user's home folder when the program's folder cannot be written (an installed program).
std::string DefaultOutputPath(const std::string& programDir, const std::string& homeDir);

/// The process's current directory.
std::string CurrentDirectory();

/// The real location of an existing path, every link resolved; empty when there is none.
std::string RealPath(const std::string& path);

/// The part of `path` below the folder `dir` (both absolute and normal), or nothing when `path`
/// does not lie below it. The folder matches only as a whole leading part; on Windows without
/// regard to the case of ASCII letters, as the file system compares names.
std::optional<std::string_view> BelowFolder(
    std::string_view path, std::string_view dir, PathStyle style = Disk().Style());

/// Why a page name that ends with a separator cannot be written.
std::string FolderNameReason(PathStyle style = Disk().Style());

/// Where the files of a run lie in the site folder, by their real location: a file lies in the
/// site when its path, as listed, lies below the site folder as given or below its real
/// location, or when the real location of the file's folder does. The file's own name is kept,
/// so a link to a page elsewhere keeps the link's name. Real locations are looked up only when
/// the paths as written do not tell, once per folder in a row.
class SiteLocator {
public:
    /// `siteDir` absolute and normal.
    explicit SiteLocator(std::string siteDir);
    /// The path relative to the site folder, or nothing when the file lies outside.
    std::optional<std::string> Relative(const std::string& filePath);

private:
    PathStyle style_;
    std::string site_;
    std::string realSite_;
    std::string lastFolder_; // the last folder looked up, with its real location
    std::string lastRealFolder_;
};

} // namespace tovaro
