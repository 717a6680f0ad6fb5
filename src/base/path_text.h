// Paths as text: made absolute and normal, joined, compared with a folder, for both styles of
// path (Linux and Windows), so that either can be tested on any machine. No system call: the
// style is always given.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tovaro {

/// How paths are written: "/" alone, or drive letters, UNC names and "\" (with "/" accepted).
enum class PathStyle { Posix, Windows };

/// True for a character that separates the parts of a path ("/", and "\" on Windows).
bool IsSeparator(char c, PathStyle style);

/// `path` made absolute against `cwd` and normalised lexically: no "." or ".." parts, no
/// doubled separators, no closing separator except for a root ("/", "C:\", "\\server\share\").
/// On Windows both separators are read and "\" is written, the drive letter is upper case,
/// and a "\\?\" prefix is dropped. Links are not resolved.
std::string AbsolutePath(std::string_view path, std::string_view cwd, PathStyle style);

/// The folder that holds `path`: a root with its separator, otherwise without one.
std::string ParentDirectory(std::string_view path, PathStyle style);

/// `dir` and `name` with exactly one separator between them (none added after a root).
std::string JoinPath(std::string_view dir, std::string_view name, PathStyle style);

/// The part of `path` below the folder `dir` (both absolute and normal), or nothing when `path`
/// does not lie below it. The folder matches only as a whole leading part; on Windows without
/// regard to the case of ASCII letters, as the file system compares names.
std::optional<std::string_view> BelowFolder(
    std::string_view path, std::string_view dir, PathStyle style);

/// Whether two absolute, normal paths name the same folder as text (on Windows without regard
/// to the case of ASCII letters).
bool SameFolder(std::string_view a, std::string_view b, PathStyle style);

} // namespace tovaro
