// tovaro-gen run in-process with captured streams, and what its pages hold.
#pragma once

#include "../core/test_util.h"
#include "cli/tovaro_gen.h"

#include <sstream>
#include <string>
#include <vector>

namespace tovaro::test {

struct Cli {
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    int status = -1;

    Cli(const std::string& cwd, const std::vector<std::string>& args, const std::string& input = "")
        : in(input)
    {
        cli::CliContext c { in, out, err, cwd, false };
        status = cli::RunCli(args, c);
    }
};

} // namespace tovaro::test
