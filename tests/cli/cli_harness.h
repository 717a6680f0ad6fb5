// tovaro-gen run in-process with captured streams, and what its pages hold.
#pragma once

#include "../core/test_util.h"
#include "cli/tovaro_gen.h"

#include <sstream>
#include <string>
#include <vector>

namespace tovaro::test {

struct Cli {
    std::ostringstream out;
    std::ostringstream err;
    int status = -1;

    /// Runs tovaro-gen on the real disk; `input` is what standard input gives.
    Cli(const std::string& cwd, const std::vector<std::string>& args, const std::string& input = "")
        : Cli(NativeDisk(), cwd, args, [input](std::string& content) {
            content = input;
            return Failure {};
        })
    {
    }
    Cli(FileSystem& disk, const std::string& cwd, const std::vector<std::string>& args,
        std::function<Failure(std::string&)> readStandardInput)
    {
        cli::CliContext c { disk, std::move(readStandardInput), out, err, cwd, false };
        status = cli::RunCli(args, c);
    }
};

} // namespace tovaro::test
