// Path joining and the two pattern languages of the file selection: the recursive add's own
// pattern (whole path, case-sensitive) and the file box's file-name wildcards.
#pragma once

#include <string>
#include <string_view>

namespace tovaro {

/// `dir` and `name` with exactly one separator between them (none added after the root "/").
std::string JoinPath(std::string_view dir, std::string_view name);

/// True when the whole text matches the whole pattern: "?" one character, "*" any run, "#" one
/// digit, "[abc]", "[a-z]", "[!0-9]" one character of (or not of) a list; anything else only
/// itself, case-sensitive. A pattern that is not valid (an unclosed "[", a range written
/// high-low) matches nothing. Characters are code points when both texts are valid UTF-8,
/// bytes otherwise.
bool MatchesPattern(std::string_view text, std::string_view pattern);

/// The file box's rule: the file name against one or more patterns separated by ";", with "*"
/// and "?" as wildcards, without regard to letter case; "*.*" matches every name.
bool MatchesFileNamePattern(std::string_view name, std::string_view patterns);

} // namespace tovaro
