#include "walk.h"

#include "failure_text.h"
#include "paths.h"
#include "pattern.h"
#include "read_ahead.h"
#include "text.h"

#include <map>
#include <utility>

namespace tovaro {

namespace {

// The folders searched so far, by identity. Some network and FUSE file systems give every
// folder the same number (0 or 1): a folder whose identity was seen before is taken as the
// same folder only when both resolve to the same real path. Paths are resolved only on such a
// meeting, so on ordinary file systems nothing is resolved at all.
class SearchedFolders {
public:
    /// True when `dir` (identified as `id`) is new, and records it.
    bool Insert(const std::string& dir, const FileId& id)
    {
        std::vector<Folder>& same = byId_[id];
        if (same.empty()) {
            same.push_back({ dir, false });
            return true;
        }
        const std::string real = Resolved(dir);
        for (Folder& f : same) {
            if (!f.resolved) {
                f.path = Resolved(f.path);
                f.resolved = true;
            }
            if (f.path == real)
                return false;
        }
        same.push_back({ real, true });
        return true;
    }

private:
    struct Folder {
        std::string path; // as walked until resolved
        bool resolved;
    };
    // Where a path cannot be resolved, the walked path stands for it: a cycle through such a
    // folder then ends when its path grows too long to be listed, and is reported.
    static std::string Resolved(const std::string& dir)
    {
        std::string real = Disk().RealPath(dir);
        return real.empty() ? dir : real;
    }
    std::map<FileId, std::vector<Folder>> byId_;
};

struct Search {
    std::string suffix;
    std::vector<std::string> files;
    std::vector<FolderProblem> unlisted;
    SearchedFolders searched;
    const YieldFn* yield;
    ListingReadAhead ahead;
};

// Depth first, in the order of each listing. The listings of a folder's subfolders are asked
// for as soon as the folder's own listing is there, so that several are in flight while the
// search goes down the first; which folders are searched, and in which order, is decided here
// alone, as the listings are taken.
void ScanDirectory(const std::string& dir, Search& s)
{
    if (*s.yield)
        (*s.yield)();
    ListingReadAhead::Listing listing = s.ahead.Take(dir);
    if (listing.failure) {
        s.unlisted.push_back({ dir, listing.failure });
        // What a listing gave before it failed is searched; a folder never opened gave nothing.
        if (listing.entries.empty())
            return;
    }
    // A folder already searched (a link or junction back up the tree) is not searched again.
    if (!s.searched.Insert(dir, listing.id))
        return;
    const std::vector<FolderEntry>& entries = listing.entries;
    std::vector<std::string> paths;
    paths.reserve(entries.size());
    for (const FolderEntry& e : entries)
        paths.push_back(JoinPath(dir, e.name));
    // The first subfolder is asked for last: it is listed first.
    for (size_t k = entries.size(); k-- > 0;) {
        if (entries[k].isFolder)
            s.ahead.Ask(paths[k]);
    }
    for (size_t k = 0; k < entries.size(); ++k) {
        if (entries[k].isFolder)
            ScanDirectory(paths[k], s);
        else if (MatchesSuffix(entries[k].name, s.suffix))
            s.files.push_back(std::move(paths[k]));
    }
}

} // namespace

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
    Search s { NormaliseFilter(filter), {}, {}, {}, &yield, {} };
    ScanDirectory(startDir, s);
    if (yield)
        yield();
    return std::move(s.files);
}

std::string FolderProblemLine(const FolderProblem& problem)
{
    const std::string text = FailureText(problem.failure);
    std::string_view reason = text;
    if (!reason.empty() && reason.back() == '.')
        reason.remove_suffix(1);
    return "Ordner nicht lesbar: " + problem.path + " (" + std::string(reason) + ")";
}

TreeListing CollectMatchingFiles(
    const std::string& startDir, const std::function<std::string()>& pattern, const YieldFn& yield)
{
    TreeListing listing;
    const PathStatus start = Disk().Examine(startDir);
    if (start.kind != PathKind::Folder) {
        listing.startFailure
            = start.kind == PathKind::Missing ? start.failure : Failure { FailureKind::NotFolder };
        if (yield)
            yield();
        return listing;
    }

    Search s { "*", {}, {}, {}, &yield, {} };
    ScanDirectory(startDir, s);
    if (yield)
        yield();
    // A start folder that cannot be listed to its end selects nothing: a part of the site is
    // never taken for the whole.
    if (!s.unlisted.empty() && s.unlisted.front().path == startDir) {
        listing.startFailure = s.unlisted.front().failure;
        return listing;
    }
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
    if (Disk().ListFolder(dir, entries, nullptr))
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
