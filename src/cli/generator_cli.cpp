#include "generator_cli.h"

#include "core/paths.h"
#include "core/pattern.h"
#include "core/run.h"
#include "core/walk.h"
#include "options.h"

#include <fstream>
#include <istream>
#include <ostream>

namespace tovaro::cli {

namespace {

class ConsoleSink : public RunSink {
public:
    explicit ConsoleSink(CliContext& c)
        : c_(c)
    {
    }
    void RunStarted(size_t count) override { count_ = count; }
    void FileStarted(size_t index, const std::string& path) override
    {
        if (!c_.progressToTerminal)
            return;
        std::string shown = path.size() > 50 ? "..." + path.substr(path.size() - 47) : path;
        c_.err << "\r\033[K[" << (index + 1) << "/" << count_ << "] " << shown << std::flush;
        progressShown_ = true;
    }
    void StatusLine(const std::string& line) override
    {
        ClearProgress();
        c_.out << line << "\n" << std::flush;
    }
    void ClearProgress()
    {
        if (progressShown_)
            c_.err << "\r\033[K" << std::flush;
        progressShown_ = false;
    }

private:
    CliContext& c_;
    size_t count_ = 0;
    bool progressShown_ = false;
};

bool ReadListFile(std::istream& in, const std::string& cwd, std::vector<std::string>& files)
{
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            files.push_back(AbsolutePath(line, cwd));
    }
    return !in.bad();
}

} // namespace

int RunCli(const std::vector<std::string>& args, CliContext& c)
{
    ParseResult parsed = ParseOptions(args);
    if (!parsed.ok) {
        c.err << "tovaro-gen: " << parsed.error << "\n\n" << kUsage;
        return 2;
    }
    const Options& o = parsed.options;
    if (o.help) {
        c.out << kUsage;
        return 0;
    }

    RunInputs in;
    for (const FileSource& s : o.sources) {
        switch (s.kind) {
        case FileSource::Kind::File:
            in.files.push_back(AbsolutePath(s.value, c.cwd));
            break;
        case FileSource::Kind::FilesFrom: {
            bool ok;
            if (s.value == "-") {
                ok = ReadListFile(c.in, c.cwd, in.files);
            } else {
                std::ifstream list(AbsolutePath(s.value, c.cwd), std::ios::binary);
                ok = list.is_open() && ReadListFile(list, c.cwd, in.files);
            }
            if (!ok) {
                c.err << "tovaro-gen: Die Dateiliste " << s.value
                      << " konnte nicht gelesen werden.\n";
                return 1;
            }
            break;
        }
        case FileSource::Kind::Tree: {
            // The same as the wizard's "+++": everything below the folder, then the pattern
            // against each whole path.
            for (std::string& path : CollectFiles(AbsolutePath(s.value, c.cwd), "*.*")) {
                if (MatchesPattern(path, o.filter))
                    in.files.push_back(std::move(path));
            }
            break;
        }
        }
    }
    in.outputPath = AbsolutePath(o.output, c.cwd);
    in.siteDir
        = o.siteDir.empty() ? ParentDirectory(in.outputPath) : AbsolutePath(o.siteDir, c.cwd);
    in.webRoot = o.webRoot;
    in.appearance = o.appearance;

    ConsoleSink sink(c);
    RunResult result = RunGeneration(in, sink);
    sink.ClearProgress();
    if (!result.written) {
        c.err << result.message << "\n";
        return 1;
    }
    c.out << result.message << "\n" << std::flush;
    if (o.strict && (result.incomplete > 0 || result.unreadable > 0))
        return 3;
    return 0;
}

} // namespace tovaro::cli
