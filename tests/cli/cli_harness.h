// tovaro-gen run in-process with captured streams, and what its pages hold.
#pragma once

#include "cli/generator_cli.h"

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

// The urls[] lines of a page, in order.
inline std::vector<std::string> Urls(const std::string& page)
{
    std::vector<std::string> urls;
    std::istringstream s(page);
    std::string line;
    while (std::getline(s, line)) {
        size_t p = line.find("urls[");
        if (p == 5) {
            size_t a = line.find("='") + 2;
            urls.push_back(line.substr(a, line.rfind("';") - a));
        }
    }
    return urls;
}

} // namespace tovaro::test
