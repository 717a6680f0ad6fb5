// tovaro-gen's entry point on Windows: arguments as Unicode, messages that a console shows
// with their umlauts, and bytes unchanged where the output goes to a file or a pipe.
#include "cli/tovaro_gen.h"
#include "platform/file_system.h"
#include "platform/standard_input.h"
#include "platform/windows/wide.h"

#include <iostream>
#include <streambuf>
#include <windows.h>

namespace {

// Standard output or error: to a console as UTF-16 through the console API (whatever its code
// page), elsewhere as the program's own UTF-8 bytes.
class ConsoleBuffer : public std::streambuf {
public:
    explicit ConsoleBuffer(DWORD which)
        : handle_(::GetStdHandle(which))
    {
        DWORD mode = 0;
        console_ = handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE
            && ::GetConsoleMode(handle_, &mode);
    }
    bool console() const { return console_; }
    HANDLE handle() const { return handle_; }

protected:
    int_type overflow(int_type c) override
    {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return sync() == 0 ? traits_type::not_eof(c) : traits_type::eof();
        pending_.push_back(traits_type::to_char_type(c));
        if (pending_.size() >= 4096 && sync() != 0)
            return traits_type::eof();
        return c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        pending_.append(s, static_cast<size_t>(n));
        if (pending_.size() >= 4096 && sync() != 0)
            return 0;
        return n;
    }
    int sync() override
    {
        if (pending_.empty())
            return 0;
        // A UTF-8 sequence cut at the end waits for its rest.
        size_t whole = pending_.size();
        if (console_) {
            size_t back = 0;
            while (back < whole && back < 3
                && (static_cast<unsigned char>(pending_[whole - 1 - back]) & 0xC0) == 0x80)
                ++back;
            if (back < whole) {
                const auto lead = static_cast<unsigned char>(pending_[whole - 1 - back]);
                const size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
                if (need > back + 1)
                    whole -= back + 1;
            }
        }
        const bool ok = console_ ? WriteConsole(pending_.substr(0, whole))
                                 : WriteBytes(pending_.data(), whole);
        pending_.erase(0, whole);
        return ok ? 0 : -1;
    }

private:
    bool WriteConsole(const std::string& text)
    {
        const std::wstring wide = tovaro::windows::Widen(text);
        DWORD done = 0;
        return wide.empty()
            || ::WriteConsoleW(
                handle_, wide.data(), static_cast<DWORD>(wide.size()), &done, nullptr);
    }
    bool WriteBytes(const char* data, size_t size)
    {
        while (size > 0) {
            DWORD done = 0;
            if (!::WriteFile(handle_, data, static_cast<DWORD>(size), &done, nullptr) || done == 0)
                return false;
            data += done;
            size -= done;
        }
        return true;
    }

    HANDLE handle_;
    bool console_ = false;
    std::string pending_;
};

} // namespace

int wmain(int argc, wchar_t** argv)
{
    ConsoleBuffer outBuffer(STD_OUTPUT_HANDLE);
    ConsoleBuffer errBuffer(STD_ERROR_HANDLE);
    std::ostream out(&outBuffer);
    std::ostream err(&errBuffer);

    // The progress line redraws itself with terminal sequences, which a console understands
    // once asked to.
    DWORD mode = 0;
    const bool progress = errBuffer.console() && ::GetConsoleMode(errBuffer.handle(), &mode)
        && ::SetConsoleMode(errBuffer.handle(), mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(tovaro::windows::Narrow(argv[i]));
    const std::unique_ptr<tovaro::FileSystem> disk = tovaro::MakeNativeFileSystem();
    tovaro::cli::CliContext context { *disk, tovaro::ReadStandardInput, out, err,
        disk->CurrentDirectory(), progress };
    const int status = tovaro::cli::RunCli(args, context);
    out.flush();
    err.flush();
    return status;
}
