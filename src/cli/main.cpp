#include "core/paths.h"
#include "generator_cli.h"

#include <clocale>
#include <iostream>
#include <unistd.h>

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");
    std::vector<std::string> args(argv + 1, argv + argc);
    tovaro::cli::CliContext context { std::cin, std::cout, std::cerr, tovaro::CurrentDirectory(),
        ::isatty(STDERR_FILENO) == 1 };
    return tovaro::cli::RunCli(args, context);
}
