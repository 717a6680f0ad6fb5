// tovaro-gen's entry point on Linux.
#include "cli/tovaro_gen.h"
#include "platform/file_system.h"
#include "platform/standard_input.h"
#include "platform/stop_signals.h"

#include <clocale>
#include <csignal>
#include <iostream>
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
    const std::unique_ptr<tovaro::FileSystem> disk = tovaro::MakeNativeFileSystem();
    std::vector<std::string> args(argv + 1, argv + argc);
    tovaro::cli::CliContext context { *disk, tovaro::ReadStandardInput, std::cout, std::cerr,
        disk->CurrentDirectory(), ::isatty(STDERR_FILENO) == 1 };
    return tovaro::cli::RunCli(args, context);
}
