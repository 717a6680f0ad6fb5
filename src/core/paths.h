#pragma once

#include <string>
#include <string_view>

namespace tovaro {

/// `path` made absolute against `cwd` and normalised lexically: no "." or ".." parts, no
/// doubled separators, no closing separator except for the root. Links are not resolved.
std::string AbsolutePath(std::string_view path, std::string_view cwd);

/// The folder that holds `path` ("/" for a file in the root).
std::string ParentDirectory(std::string_view path);

/// Where a new search page goes by default: "lookup.htm" in the program's folder, or in the
/// user's home folder when the program's folder cannot be written (an installed program).
std::string DefaultOutputPath(const std::string& programDir, const std::string& homeDir);

/// The process's current directory.
std::string CurrentDirectory();

} // namespace tovaro
