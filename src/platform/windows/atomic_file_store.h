// Replacing the search page on Windows: the new page is written to a temporary file beside it,
// flushed to the disk, and put in the page's place by the file system as one step.
#pragma once

#include "platform/file_system.h"

#include <string>
#include <string_view>

namespace tovaro::windows {

/// ERROR_DIRECTORY_NOT_SUPPORTED, which MinGW's headers lack: a folder where a file belongs.
constexpr int kIsAFolderError = 336;

/// Only a file, or a new name, is replaced, never a folder. The page keeps its attributes and
/// permissions; on any failure the old page stays as it was and no temporary file is left.
StoreResult ReplaceFileAtomically(const std::string& path, std::string_view content);

} // namespace tovaro::windows
