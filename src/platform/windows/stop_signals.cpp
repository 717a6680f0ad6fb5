#include "platform/stop_signals.h"

namespace tovaro {

// Windows sends no such signals: the console's Ctrl+C and close events are handled by the page
// store while it writes.
void HandleStopSignalsOnOwnThread() { }

} // namespace tovaro
