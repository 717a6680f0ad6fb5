// tovaro-gen as a function, so that tests run it in-process with captured streams.
#pragma once

#include "platform/file_system.h"

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace tovaro::cli {

struct CliContext {
    FileSystem& disk;
    /// Reads standard input to its end (`--files-from -`), or says why it could not.
    std::function<Failure(std::string& content)> readStandardInput;
    std::ostream& out;
    std::ostream& err;
    std::string cwd;
    bool progressToTerminal = false; ///< standard error is a terminal
};

/// Runs tovaro-gen with `args` (without the program name); returns the exit status.
int RunCli(const std::vector<std::string>& args, CliContext& context);

} // namespace tovaro::cli
