// tovaro-gen as a function, so that tests run it in-process with captured streams.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tovaro::cli {

struct CliContext {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    std::string cwd;
    bool progressToTerminal = false; ///< standard error is a terminal
    bool inUsable = true; ///< standard input is open and not a folder
};

/// Runs tovaro-gen with `args` (without the program name); returns the exit status.
int RunCli(const std::vector<std::string>& args, CliContext& context);

} // namespace tovaro::cli
