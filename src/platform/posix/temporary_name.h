// The name of the search page's temporary file, while it has one, for whatever ends the
// process: the stop signal thread, and the handlers of faults and of signals that arrive where
// no such thread runs.
#pragma once

#include <mutex>
#include <string>

namespace tovaro {

/// Held while a temporary file gets its name, is renamed or removed, so that a stop sees it
/// either without a name or with its name registered, never in between.
std::unique_lock<std::mutex> LockTemporaryName();

/// Records the temporary's name; the caller holds the lock.
void RegisterTemporaryName(const std::string& name);
/// Forgets it (it was renamed over the page, or removed); the caller holds the lock.
void ForgetTemporaryName();

/// Removes the registered temporary file. Async-signal-safe: no lock is taken.
void RemoveTemporaryFileNow();

} // namespace tovaro
