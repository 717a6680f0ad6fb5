// What the user reads when something fails: the one place where a failure becomes German, from
// the reason of one step on the file system to the message that ends a run.
#pragma once

#include "base/path_text.h"
#include "platform/failure.h"
#include "platform/file_system.h"

#include <string>

namespace tovaro {

struct FolderProblem;
struct RunInputs;
struct RunResult;

extern const char* const kSuccessMessage;
extern const char* const kMessageTitle;
extern const char* const kNothingSelectedMessage;

/// The German sentence for a failure, ending with a full stop; empty for none. `style` is that
/// of the file system that failed (a page name ending with its separator names that separator).
std::string FailureText(const Failure& failure, PathStyle style);

/// Why a page name that ends with a separator of the file system in use cannot be written.
std::string FolderNameReason(PathStyle style);

/// The warning for a written page whose new file could not keep the old page's group.
std::string GroupChangeText(const GroupChange& change);

/// The line that says the page at `path` was not written (its reason follows on a line of its
/// own).
std::string NotWrittenLine(const std::string& path);

/// The status line of a file that could not be read: "Nicht lesbar: " + path + the reason in
/// parentheses.
std::string UnreadableLine(const std::string& path, const Failure& failure, PathStyle style);

/// The status line of a folder whose files may be missing from the selection: "Ordner nicht
/// lesbar: " + path + the reason in parentheses.
std::string FolderProblemLine(const FolderProblem& problem, PathStyle style);

/// The message that ends a run: the success message, why nothing was written (no file
/// selected, the folders of the selection unreadable), or why the page could not be written.
std::string RunMessage(const RunResult& result, const RunInputs& inputs, PathStyle style);

} // namespace tovaro
