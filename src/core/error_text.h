// The reasons a run can meet, in German, for the wizard's message and tovaro-gen alike.
#pragma once

#include <string>

namespace tovaro {

/// A German sentence for a system error number; the system's own text for one it does not
/// know.
std::string ErrorText(int err);

} // namespace tovaro
