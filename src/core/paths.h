#pragma once

#include <string>
#include <string_view>

namespace tovaro {

/// `path` made absolute against `cwd` and normalised lexically: no "." or ".." parts, no
/// doubled separators, no closing separator except for the root. Links are not resolved.
std::string AbsolutePath(std::string_view path, std::string_view cwd);

/// The folder that holds `path` ("/" for a file in the root).
std::string ParentDirectory(std::string_view path);

/// The process's current directory.
std::string CurrentDirectory();

} // namespace tovaro
