#include "tovaro_gen.h"

#include "core/failure_text.h"
#include "core/paths.h"
#include "core/run.h"
#include "core/text.h"
#include "core/walk.h"
#include "options.h"
#include "platform/file_system.h"

#include <istream>
#include <new>
#include <ostream>
#include <sstream>

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
        c_.out << EscapeControls(line) << "\n" << std::flush;
        outFailed_ = c_.out.fail();
    }
    void Err(const std::string& line) { c_.err << "tovaro-gen: " << EscapeControls(line) << "\n"; }
    bool OutFailed() const { return outFailed_; }
    CliContext& context() { return c_; }

    /// The text with every control character shown escaped (\x0A): those of ASCII, DEL, the
    /// C1 controls written in UTF-8 (U+0080 to U+009F, shown by their number), and the bytes
    /// 0x80 to 0x9F that an 8-bit terminal takes as C1 controls.
    static std::string EscapeControls(const std::string& text)
    {
        std::string out;
        out.reserve(text.size());
        auto escape = [&out](unsigned char c) {
            out.append("\\x");
            AppendHexByte(out, c);
        };
        for (size_t i = 0; i < text.size();) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (c < 0x20 || c == 0x7F) {
                escape(c);
                ++i;
            } else if (c < 0x80) {
                out.push_back(text[i++]);
            } else if (const size_t n = Utf8SequenceLength(text, i); n > 0) {
                const auto next = static_cast<unsigned char>(text[i + 1]);
                if (c == 0xC2 && next < 0xA0)
                    escape(next); // U+0080 to U+009F
                else
                    out.append(text, i, n);
                i += n;
            } else {
                if (c < 0xA0)
                    escape(c);
                else
                    out.push_back(text[i]);
                ++i;
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
        std::string shown = Console::EscapeControls(path);
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
    void OutsideSite(const std::string& path) override
    {
        ClearProgress();
        console_.context().err << Console::EscapeControls("Außerhalb des Stammverzeichnisses: "
            + path) << "\n";
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

// One path a line: CR LF, LF or a lone CR ends it, empty lines are skipped, and a UTF-8
// byte-order mark at the start (as Windows editors write it) is no part of the first path. A
// line holding a NUL byte names no file and stays in the list as it is, to be reported as
// unreadable.
// The lines of a file list, fed in pieces of any size: CR LF, LF or a lone CR ends a line, a
// UTF-8 byte-order mark at the start is skipped, empty lines are skipped.
class ListLines {
public:
    ListLines(const std::string& cwd, std::vector<std::string>& files)
        : cwd_(cwd)
        , files_(files)
    {
    }
    void Feed(std::string_view chunk)
    {
        const char* p = chunk.data();
        const char* const end = p + chunk.size();
        if (afterCr_ && p != end && *p == '\n') // the LF of a CR LF split across two pieces
            ++p;
        afterCr_ = false;
        while (p != end) {
            const char* stop = p;
            while (stop != end && *stop != '\r' && *stop != '\n')
                ++stop;
            if (stop == end) { // the line goes on in the next piece
                line_.append(p, static_cast<size_t>(end - p));
                return;
            }
            if (line_.empty()) {
                Take(std::string_view(p, static_cast<size_t>(stop - p)));
            } else {
                line_.append(p, static_cast<size_t>(stop - p));
                Take(line_);
                line_.clear();
            }
            p = stop + 1;
            if (*stop == '\r') {
                if (p == end)
                    afterCr_ = true;
                else if (*p == '\n')
                    ++p;
            }
        }
    }
    void Finish()
    {
        Take(line_);
        line_.clear();
    }

private:
    void Take(std::string_view line)
    {
        if (first_ && line.substr(0, 3) == "\xEF\xBB\xBF")
            line.remove_prefix(3);
        first_ = false;
        if (line.empty())
            return;
        if (line.find('\0') != std::string_view::npos)
            files_.emplace_back(line);
        else
            files_.push_back(AbsolutePath(line, cwd_));
    }

    const std::string& cwd_;
    std::vector<std::string>& files_;
    std::string line_;
    bool first_ = true;
    bool afterCr_ = false;
};

bool ReadListFile(std::istream& in, const std::string& cwd, std::vector<std::string>& files)
{
    std::streambuf* buf = in.rdbuf();
    if (buf == nullptr || !in.good())
        return !in.bad();
    ListLines lines(cwd, files);
    char chunk[65536];
    for (;;) {
        std::streamsize n;
        try {
            n = buf->sgetn(chunk, sizeof chunk);
        } catch (...) {
            return false;
        }
        if (n <= 0)
            break;
        lines.Feed(std::string_view(chunk, static_cast<size_t>(n)));
    }
    lines.Finish();
    return true;
}

// Why the page was not written: the page's path, then the reason, each on a line of its own.
int NotWritten(Console& console, const std::string& path, const std::string& reason)
{
    console.Err(NotWrittenLine(path));
    console.Err(reason);
    return kNotWritten;
}

// The site folder: the one given, which must be a folder (a mistyped one would turn every link
// into the server's local path), or the page's own folder.
bool FindSiteFolder(const Options& o, Console& console, RunInputs& in)
{
    CliContext& c = console.context();
    if (o.siteDir.empty()) {
        in.siteDir = ParentDirectory(in.outputPath);
        return true;
    }
    in.siteDir = AbsolutePath(o.siteDir, c.cwd);
    const PathStatus site = Disk().Examine(in.siteDir);
    if (site.kind == PathKind::Folder)
        return true;
    console.Err("Das Stammverzeichnis " + o.siteDir + " kann nicht verwendet werden: "
        + FailureText(
            site.kind == PathKind::Missing ? site.failure : Failure { FailureKind::NotFolder }));
    return false;
}

// The files of one source, appended to the run's list in the order given; false, with the
// reason said, when the source cannot be read.
bool AddSourceFiles(const FileSource& s, const Options& o, Console& console, RunInputs& in)
{
    CliContext& c = console.context();
    switch (s.kind) {
    case FileSource::Kind::File:
        in.files.push_back(AbsolutePath(s.value, c.cwd));
        return true;
    case FileSource::Kind::FilesFrom: {
        bool ok;
        if (s.value == "-") {
            ok = c.inUsable && ReadListFile(c.in, c.cwd, in.files);
        } else {
            std::string content;
            ok = Disk().ReadWhole(AbsolutePath(s.value, c.cwd), content);
            if (ok) {
                ListLines lines(c.cwd, in.files);
                lines.Feed(content);
                lines.Finish();
            }
        }
        if (!ok)
            console.Err("Die Dateiliste " + s.value + " konnte nicht gelesen werden.");
        return ok;
    }
    case FileSource::Kind::Tree: {
        // The same as the wizard's "+++": everything below the folder, then the pattern
        // against each whole path.
        const std::string root = AbsolutePath(s.value, c.cwd);
        TreeListing listing = CollectMatchingFiles(root, [&o] { return o.filter; });
        if (listing.startFailure) {
            console.Err("Der Ordner " + s.value
                + " kann nicht durchsucht werden: " + FailureText(listing.startFailure));
            return false;
        }
        for (FolderProblem& folder : listing.unlisted)
            in.unlistedFolders.push_back(std::move(folder));
        for (std::string& path : listing.files)
            in.files.push_back(std::move(path));
        return true;
    }
    }
    return false;
}

int Run(const Options& o, Console& console)
{
    CliContext& c = console.context();
    RunInputs in;
    in.outputPath = AbsolutePath(o.output, c.cwd);
    if (IsSeparator(o.output.back()))
        return NotWritten(console, o.output, FolderNameReason());
    if (!FindSiteFolder(o, console, in))
        return kNotWritten;
    for (const FileSource& s : o.sources) {
        if (!AddSourceFiles(s, o, console, in))
            return kNotWritten;
    }
    in.webRoot = o.webRoot;
    in.appearance = o.appearance;
    // The search page is no page of the site, by whatever path the inputs reach it.
    in.skipOutputFile = true;
    in.realSiteLocations = true;
    in.refuseEmptySelection = !o.allowEmpty;

    ConsoleSink sink(console);
    RunResult result = RunGeneration(in, sink);
    sink.ClearProgress();
    if (result.nothingSelected) {
        console.Err(kNothingSelectedMessage);
        console.Err("Mit --allow-empty wird eine Suchseite ohne Einträge geschrieben.");
        return kNotWritten;
    }
    if (!result.written)
        return NotWritten(console, in.outputPath, FailureText(result.failure));
    if (!result.warning.empty())
        console.Err(result.warning);
    console.Out(result.message);
    if (console.OutFailed()) {
        console.Err("Die Standardausgabe konnte nicht geschrieben werden; die Suchdatei ist "
                    "geschrieben.");
        return kOutputFailed;
    }
    if (o.strict
        && (result.incomplete > 0 || result.unreadable > 0 || result.outside > 0
            || result.unlistedFolders > 0))
        return kIncomplete;
    return 0;
}

} // namespace

int RunCli(const std::vector<std::string>& args, CliContext& c)
{
    ParseResult parsed = ParseOptions(args);
    if (!parsed.ok) {
        c.err << "tovaro-gen: " << Console::EscapeControls(parsed.error) << "\n\n" << Usage();
        return kUsageError;
    }
    const Options& o = parsed.options;
    if (o.help || o.version) {
        c.out << (o.help ? Usage() : std::string(kVersion)) << std::flush;
        return c.out.fail() ? kOutputFailed : 0;
    }
    if (o.sources.empty()) {
        // Run in a site folder without arguments, it would empty the page there.
        c.err << "tovaro-gen: Keine Eingabe: Geben Sie Dateien, --files-from oder --tree an.\n\n"
              << Usage();
        return kUsageError;
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
