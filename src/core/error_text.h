// The reasons a run can meet, in German, for the wizard's message and tovaro-gen alike.
#pragma once

#include <string>

namespace tovaro {

/// A German sentence for a system error number; a German sentence with the number for one it
/// has no text for.
std::string ErrorText(int err);

} // namespace tovaro
