// Signals that end the program (SIGTERM, SIGINT, a logout's SIGHUP ...) while the search page
// is being replaced must not leave its temporary file beside it.
#pragma once

namespace tovaro {

/// Makes the signals that end the process arrive on one thread of their own, which removes the
/// search page's temporary file (waiting while one is being named or renamed) and then ends the
/// process as the signal would. Call it at the start of `main`, before any other thread exists:
/// threads started later inherit the blocked signals. Signals the process already ignores or
/// handles are left as they are. Where the system sends no such signals, it does nothing.
void HandleStopSignalsOnOwnThread();

} // namespace tovaro
