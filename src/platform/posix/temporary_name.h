// The names of the search page's temporary files, while they have them, for whatever ends the
// process: the stop signal thread, and the handlers of faults and of signals that arrive where
// no such thread runs. No lock is held across a call that may hang (a create on a share that
// does not answer): a name is recorded before the call that creates the file, and a stop
// removes whatever of the recorded names exists.
#pragma once

#include <string>

namespace tovaro {

/// Records `name` before the call that creates it. Returns the record, or -1 once a stop has
/// begun: then nothing may be created any more.
int RecordTemporaryName(const std::string& name);

/// Marks the call that creates a recorded file as under way, or as returned: a stop waits a
/// moment for such a call and then removes the file again.
void MarkCreating(int record, bool creating);

/// Forgets a record: the file was renamed over the page, or removed.
void ForgetTemporaryName(int record);

/// Refuses new records and removes every recorded file that exists. Async-signal-safe.
void RemoveTemporaryFilesNow();

/// True while the call that creates a recorded file is under way.
bool TemporaryFileBeingCreated();

/// The start of every temporary name of this program, ".tovaro-".
inline constexpr char kTemporaryPrefix[] = ".tovaro-";

/// A new temporary name in `folder` (which ends with "/"): short, whatever the length of the
/// page's name, and telling which process on which host made it, so that a later run can tell
/// a file left by a process that has gone (`IsStaleTemporaryName`).
std::string NewTemporaryName(const std::string& folder);

/// True when `name` (without its folder) is a temporary name of a process of this host and of
/// this process namespace that no longer runs. A name of another host, of an unknown process
/// namespace, of a process still running (or of a process that took its number since) is never
/// stale.
bool IsStaleTemporaryName(const std::string& name);

} // namespace tovaro
