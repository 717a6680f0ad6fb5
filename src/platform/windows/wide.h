// Text and paths at the border to the Windows API: UTF-8 inside the program, UTF-16 outside.
#pragma once

#include <string>
#include <string_view>

namespace tovaro::windows {

/// UTF-8 as UTF-16; invalid bytes become U+FFFD.
std::wstring Widen(std::string_view text);
/// UTF-16 as UTF-8; unpaired surrogates become U+FFFD.
std::string Narrow(std::wstring_view text);

/// The process's current folder, as a Windows path in UTF-8 ("C:\\" where it cannot be told).
std::string ProcessCurrentDirectory();

/// The path for the wide file API: absolute against the current folder, normal, with "\"
/// only, and with the "\\?\" prefix that lifts the limit of 260 characters.
std::wstring ApiPath(const std::string& path);

} // namespace tovaro::windows
