// The program's standard input, read as a whole: tovaro-gen's `--files-from -`.
#pragma once

#include "platform/failure.h"

#include <string>

namespace tovaro {

/// Everything standard input gives until its end, or why it could not be read to its end (a
/// read error is never taken for the end).
Failure ReadStandardInput(std::string& content);

} // namespace tovaro
