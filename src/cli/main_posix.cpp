// tovaro-gen's entry point on Linux.
#include "cli/tovaro_gen.h"
#include "core/paths.h"
#include "platform/stop_signals.h"

#include <clocale>
#include <csignal>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");
    // A reader that goes away (| head -1) must not stop the page from being written: a
    // failed write to standard output is reported instead.
    std::signal(SIGPIPE, SIG_IGN);
    // Likewise a file-size limit on redirected standard output: a failed write, not the end.
    std::signal(SIGXFSZ, SIG_IGN);
    // Before any thread starts: a stop from outside never leaves a temporary file behind.
    tovaro::HandleStopSignalsOnOwnThread();
    struct stat in { };
    const bool inUsable = ::fstat(STDIN_FILENO, &in) == 0 && !S_ISDIR(in.st_mode);
    std::vector<std::string> args(argv + 1, argv + argc);
    tovaro::cli::CliContext context { std::cin, std::cout, std::cerr, tovaro::CurrentDirectory(),
        ::isatty(STDERR_FILENO) == 1, inUsable };
    return tovaro::cli::RunCli(args, context);
}
