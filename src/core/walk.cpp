#include "walk.h"

#include "paths.h"
#include "pattern.h"
#include "text.h"

#include <set>
#include <utility>

namespace tovaro {

namespace {

using Seen = std::set<FileId>;

enum class Listed { Yes, Unlistable, Before };

// Reads a whole directory before anything descends, so that a deep tree holds one open
// directory at a time. A folder already listed in this search (a link or junction back up the
// tree) is not listed again.
Listed ReadDirectory(const std::string& dir, Seen* seen, std::vector<FolderEntry>& out)
{
    FileId id;
    if (!Disk().ListFolder(dir, out, &id).empty())
        return Listed::Unlistable;
    if (seen != nullptr && !seen->insert(id).second) {
        out.clear();
        return Listed::Before;
    }
    return Listed::Yes;
}

struct Search {
    std::string suffix;
    std::vector<std::string> files;
    std::vector<std::string> unlisted;
    Seen seen;
    const YieldFn* yield;
};

void ScanDirectory(const std::string& dir, Search& s)
{
    if (*s.yield)
        (*s.yield)();
    std::vector<FolderEntry> entries;
    const Listed listed = ReadDirectory(dir, &s.seen, entries);
    if (listed == Listed::Unlistable)
        s.unlisted.push_back(dir);
    if (listed != Listed::Yes)
        return;
    for (const FolderEntry& e : entries) {
        std::string path = JoinPath(dir, e.name);
        if (e.isFolder)
            ScanDirectory(path, s);
        else if (MatchesSuffix(e.name, s.suffix))
            s.files.push_back(std::move(path));
    }
}

} // namespace

const char* const kNotAFolderReason = "Ein Teil des Pfades ist kein Ordner.";

std::string NormaliseFilter(const std::string& filter)
{
    std::string f(TrimBlanks(filter));
    for (char& c : f)
        c = AsciiUpper(c);
    if (!f.empty() && f[0] == '*') {
        size_t dot = f.find('.');
        if (dot != std::string::npos)
            f = f.substr(dot + 1);
    }
    return f;
}

bool MatchesSuffix(const std::string& name, const std::string& suffix)
{
    if (suffix == "*")
        return true;
    if (name.size() < suffix.size())
        return false;
    for (size_t i = 0; i < suffix.size(); ++i) {
        if (AsciiUpper(name[name.size() - suffix.size() + i]) != suffix[i])
            return false;
    }
    return true;
}

std::vector<std::string> CollectFiles(
    const std::string& startDir, const std::string& filter, const YieldFn& yield)
{
    Search s { NormaliseFilter(filter), {}, {}, {}, &yield };
    ScanDirectory(startDir, s);
    if (yield)
        yield();
    return std::move(s.files);
}

TreeListing CollectMatchingFiles(
    const std::string& startDir, const std::function<std::string()>& pattern, const YieldFn& yield)
{
    TreeListing listing;
    const PathStatus start = Disk().Examine(startDir);
    if (start.kind == PathKind::Missing) {
        listing.startError = start.error;
    } else if (start.kind != PathKind::Folder) {
        listing.startError = kNotAFolderReason;
    } else {
        std::vector<FolderEntry> ignored;
        listing.startError = Disk().ListFolder(startDir, ignored, nullptr);
    }
    if (!listing.startError.empty()) {
        if (yield)
            yield();
        return listing;
    }

    Search s { "*", {}, {}, {}, &yield };
    ScanDirectory(startDir, s);
    if (yield)
        yield();
    listing.unlisted = std::move(s.unlisted);
    // The pattern as it stands once the search has returned, compiled once for all paths.
    const PathPattern compiled(pattern());
    for (std::string& path : s.files) {
        if (compiled.Matches(path))
            listing.files.push_back(std::move(path));
    }
    return listing;
}

namespace {

// The names of one kind of entry directly in `dir`, unsorted.
std::vector<std::string> ListNames(const std::string& dir, bool directories)
{
    std::vector<FolderEntry> entries;
    std::vector<std::string> names;
    if (ReadDirectory(dir, nullptr, entries) != Listed::Yes)
        return names;
    names.reserve(entries.size());
    for (FolderEntry& e : entries) {
        if (e.isFolder == directories)
            names.push_back(std::move(e.name));
    }
    return names;
}

} // namespace

std::vector<std::string> ListFileNames(const std::string& dir)
{
    return ListNames(dir, false);
}

std::vector<std::string> ListDirectoryNames(const std::string& dir)
{
    return ListNames(dir, true);
}

} // namespace tovaro
