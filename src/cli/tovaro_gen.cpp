#include "tovaro_gen.h"

#include "core/failure_text.h"
#include "core/run.h"
#include "core/text.h"
#include "core/walk.h"
#include "options.h"
#include "platform/file_system.h"

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

// The paths of a file list, one a line: CR LF, LF or a lone CR ends a line, empty lines are
// skipped, and a UTF-8 byte-order mark at the start (as Windows editors write it) is no part of
// the first path. A line holding a NUL byte names no file and stays in the list as it is, to be
// reported as unreadable.
void AddListLines(
    std::string_view list, const std::string& cwd, PathStyle style, std::vector<std::string>& files)
{
    if (list.substr(0, 3) == "\xEF\xBB\xBF")
        list.remove_prefix(3);
    while (!list.empty()) {
        const size_t end = list.find_first_of("\r\n");
        const std::string_view line = list.substr(0, end);
        if (line.find('\0') != std::string_view::npos)
            files.emplace_back(line);
        else if (!line.empty())
            files.push_back(AbsolutePath(line, cwd, style));
        if (end == std::string_view::npos)
            break;
        const size_t next = list.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
        list.remove_prefix(next);
    }
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
    const PathStyle style = c.disk.Style();
    if (o.siteDir.empty()) {
        in.siteDir = ParentDirectory(in.outputPath, style);
        return true;
    }
    in.siteDir = AbsolutePath(o.siteDir, c.cwd, style);
    const PathStatus site = c.disk.Examine(in.siteDir);
    if (site.kind == PathKind::Folder)
        return true;
    console.Err("Das Stammverzeichnis " + o.siteDir + " kann nicht verwendet werden: "
        + FailureText(
            site.kind == PathKind::Missing ? site.failure : Failure { FailureKind::NotFolder },
            style));
    return false;
}

// The files of one source, appended to the run's list in the order given; false, with the
// reason said, when the source cannot be read.
bool AddSourceFiles(const FileSource& s, const Options& o, Console& console, RunInputs& in)
{
    CliContext& c = console.context();
    const PathStyle style = c.disk.Style();
    switch (s.kind) {
    case FileSource::Kind::File:
        in.files.push_back(AbsolutePath(s.value, c.cwd, style));
        return true;
    case FileSource::Kind::FilesFrom: {
        // A list that cannot be read to its end is no shorter list: the run does not start.
        std::string content;
        const Failure failure = s.value == "-"
            ? c.readStandardInput(content)
            : c.disk.ReadWhole(AbsolutePath(s.value, c.cwd, style), content);
        if (failure) {
            console.Err("Die Dateiliste " + s.value + " konnte nicht gelesen werden.");
            console.Err(FailureText(failure, style));
            return false;
        }
        AddListLines(content, c.cwd, style, in.files);
        return true;
    }
    case FileSource::Kind::Tree: {
        // The same as the wizard's "+++": everything below the folder, then the pattern
        // against each whole path.
        const std::string root = AbsolutePath(s.value, c.cwd, style);
        TreeListing listing = CollectMatchingFiles(c.disk, root, o.filter);
        if (listing.startFailure) {
            console.Err("Der Ordner " + s.value
                + " kann nicht durchsucht werden: " + FailureText(listing.startFailure, style));
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
    const PathStyle style = c.disk.Style();
    RunInputs in;
    in.outputPath = AbsolutePath(o.output, c.cwd, style);
    if (IsSeparator(o.output.back(), style))
        return NotWritten(console, o.output, FolderNameReason(style));
    if (!FindSiteFolder(o, console, in))
        return kNotWritten;
    for (const FileSource& s : o.sources) {
        if (!AddSourceFiles(s, o, console, in))
            return kNotWritten;
    }
    in.webRoot = o.webRoot;
    in.appearance = o.appearance;
    in.search = o.search;
    in.allowEmpty = o.allowEmpty;

    ConsoleSink sink(console);
    const RunResult result = RunGeneration(c.disk, in, sink);
    sink.ClearProgress();
    if (result.nothingSelected) {
        console.Err(RunMessage(result, in, style));
        if (in.unlistedFolders.empty())
            console.Err("Mit --allow-empty wird eine Suchseite ohne Einträge geschrieben.");
        return kNotWritten;
    }
    if (!result.written)
        return NotWritten(console, in.outputPath, FailureText(result.failure, style));
    if (result.groupChange)
        console.Err(GroupChangeText(*result.groupChange));
    console.Out(RunMessage(result, in, style));
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
