#include "generator_cli.h"

#include "core/error_text.h"
#include "core/output_file.h"
#include "core/paths.h"
#include "core/run.h"
#include "core/walk.h"
#include "options.h"

#include <fstream>
#include <istream>
#include <new>
#include <ostream>

namespace tovaro::cli {

namespace {

// Exit statuses, as the usage text lists them.
constexpr int kNotWritten = 1;
constexpr int kUsageError = 2;
constexpr int kIncomplete = 3;
constexpr int kOutputFailed = 4;

// Standard output and standard error as tovaro-gen writes them: a control character of a
// file name is shown escaped, so that no name can drive the terminal, and a failed write to
// standard output is remembered while the run goes on.
class Console {
public:
    explicit Console(CliContext& c)
        : c_(c)
    {
    }
    void Out(const std::string& line)
    {
        if (outFailed_)
            return;
        c_.out << Shown(line) << "\n" << std::flush;
        outFailed_ = c_.out.fail();
    }
    void Err(const std::string& line) { c_.err << "tovaro-gen: " << Shown(line) << "\n"; }
    bool OutFailed() const { return outFailed_; }
    CliContext& context() { return c_; }

    static std::string Shown(const std::string& text)
    {
        std::string out;
        out.reserve(text.size());
        for (char ch : text) {
            const auto c = static_cast<unsigned char>(ch);
            if (c < 0x20 && c != '\n') {
                static const char* hex = "0123456789ABCDEF";
                out.append("\\x").push_back(hex[c >> 4]);
                out.push_back(hex[c & 0x0F]);
            } else if (c == 0x7F) {
                out.append("\\x7F");
            } else {
                out.push_back(ch);
            }
        }
        return out;
    }

private:
    CliContext& c_;
    bool outFailed_ = false;
};

class ConsoleSink : public RunSink {
public:
    explicit ConsoleSink(Console& console)
        : console_(console)
    {
    }
    void RunStarted(size_t count) override { count_ = count; }
    void FileStarted(size_t index, const std::string& path) override
    {
        CliContext& c = console_.context();
        if (!c.progressToTerminal)
            return;
        std::string shown = Console::Shown(path);
        if (shown.size() > 50)
            shown = "..." + shown.substr(shown.size() - 47);
        c.err << "\r\033[K[" << (index + 1) << "/" << count_ << "] " << shown << std::flush;
        progressShown_ = true;
    }
    void StatusLine(const std::string& line) override
    {
        ClearProgress();
        console_.Out(line);
    }
    void ClearProgress()
    {
        if (progressShown_)
            console_.context().err << "\r\033[K" << std::flush;
        progressShown_ = false;
    }

private:
    Console& console_;
    size_t count_ = 0;
    bool progressShown_ = false;
};

// One path a line (CR LF or LF; empty lines skipped). A line holding a NUL byte names no file
// and stays in the list as it is, to be reported as unreadable.
bool ReadListFile(std::istream& in, const std::string& cwd, std::vector<std::string>& files)
{
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        if (line.find('\0') != std::string::npos)
            files.push_back(line);
        else
            files.push_back(AbsolutePath(line, cwd));
    }
    return !in.bad();
}

int Run(const Options& o, Console& console)
{
    CliContext& c = console.context();
    RunInputs in;
    in.outputPath = AbsolutePath(o.output, c.cwd);
    if (o.output.back() == '/') {
        console.Err(
            "Die Suchdatei konnte nicht erstellt werden: " + o.output + "\n" + kFolderNameReason);
        return kNotWritten;
    }
    size_t unlistedFolders = 0;
    for (const FileSource& s : o.sources) {
        switch (s.kind) {
        case FileSource::Kind::File:
            in.files.push_back(AbsolutePath(s.value, c.cwd));
            break;
        case FileSource::Kind::FilesFrom: {
            bool ok;
            if (s.value == "-") {
                ok = c.inUsable && ReadListFile(c.in, c.cwd, in.files);
            } else {
                std::ifstream list(AbsolutePath(s.value, c.cwd), std::ios::binary);
                ok = list.is_open() && ReadListFile(list, c.cwd, in.files);
            }
            if (!ok) {
                console.Err("Die Dateiliste " + s.value + " konnte nicht gelesen werden.");
                return kNotWritten;
            }
            break;
        }
        case FileSource::Kind::Tree: {
            // The same as the wizard's "+++": everything below the folder, then the pattern
            // against each whole path. The search page itself is no page of the site.
            const std::string root = AbsolutePath(s.value, c.cwd);
            TreeListing listing = CollectMatchingFiles(root, [&o] { return o.filter; });
            if (listing.startError != 0) {
                console.Err("Der Ordner " + s.value
                    + " kann nicht durchsucht werden: " + ErrorText(listing.startError));
                return kNotWritten;
            }
            for (const std::string& folder : listing.unlisted)
                console.Out("Nicht lesbar: " + folder);
            unlistedFolders += listing.unlisted.size();
            for (std::string& path : listing.files) {
                if (path != in.outputPath)
                    in.files.push_back(std::move(path));
            }
            break;
        }
        }
    }
    in.siteDir
        = o.siteDir.empty() ? ParentDirectory(in.outputPath) : AbsolutePath(o.siteDir, c.cwd);
    in.webRoot = o.webRoot;
    in.appearance = o.appearance;

    ConsoleSink sink(console);
    RunResult result = RunGeneration(in, sink);
    sink.ClearProgress();
    if (!result.written) {
        c.err << Console::Shown(result.message) << "\n";
        return kNotWritten;
    }
    console.Out(result.message);
    if (console.OutFailed()) {
        console.Err("Die Standardausgabe konnte nicht geschrieben werden; die Suchdatei ist "
                    "geschrieben.");
        return kOutputFailed;
    }
    if (o.strict && (result.incomplete > 0 || result.unreadable > 0 || unlistedFolders > 0))
        return kIncomplete;
    return 0;
}

} // namespace

int RunCli(const std::vector<std::string>& args, CliContext& c)
{
    ParseResult parsed = ParseOptions(args);
    if (!parsed.ok) {
        c.err << "tovaro-gen: " << Console::Shown(parsed.error) << "\n\n" << Usage();
        return kUsageError;
    }
    const Options& o = parsed.options;
    if (o.help || o.version) {
        c.out << (o.help ? Usage() : std::string(kVersion)) << std::flush;
        return c.out.fail() ? kOutputFailed : 0;
    }
    Console console(c);
    try {
        return Run(o, console);
    } catch (const std::bad_alloc&) {
        // The old page is replaced only by a complete new one, so it is still intact.
        console.Err("Nicht genügend Arbeitsspeicher; die Suchdatei wurde nicht geschrieben.");
        return kNotWritten;
    }
}

} // namespace tovaro::cli
