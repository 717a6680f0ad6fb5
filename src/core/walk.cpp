#include "walk.h"

#include "failure_text.h"
#include "pattern.h"
#include "read_ahead.h"
#include "text.h"

#include <map>
#include <string_view>
#include <unordered_set>
#include <utility>

namespace tovaro {

namespace {

// The folders searched so far, by identity. Some network and FUSE file systems give every
// folder the same number (0 or 1): a folder whose identity was seen before is taken as the
// same folder only when both resolve to the same real path. Paths are resolved only on such a
// meeting, so on ordinary file systems nothing is resolved at all.
class SearchedFolders {
public:
    explicit SearchedFolders(FileSystem& disk)
        : disk_(disk)
    {
    }
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
    std::string Resolved(const std::string& dir)
    {
        OrFailure<std::string> real = disk_.RealPath(dir);
        return real ? std::move(*real) : dir;
    }
    FileSystem& disk_;
    std::map<FileId, std::vector<Folder>> byId_;
};

// Some shares list an entry twice: each name of a folder is taken once, where it first came.
void TakeEachNameOnce(std::vector<FolderEntry>& entries)
{
    if (entries.size() < 2)
        return;
    std::vector<bool> again(entries.size());
    bool any = false;
    {
        std::unordered_set<std::string_view> seen;
        seen.reserve(entries.size());
        for (size_t k = 0; k < entries.size(); ++k) {
            if (!seen.insert(entries[k].name).second)
                again[k] = any = true;
        }
    }
    if (!any)
        return;
    size_t kept = 0;
    for (size_t k = 0; k < entries.size(); ++k) {
        if (again[k])
            continue;
        if (kept != k)
            entries[kept] = std::move(entries[k]);
        ++kept;
    }
    entries.resize(kept);
}

// A file found, or an entry that could not be examined.
struct Found {
    std::string path;
    Failure failure;
};

struct Search {
    Search(FileSystem& disk, std::string filterSuffix, const YieldFn& yieldFn)
        : style(disk.Style())
        , suffix(std::move(filterSuffix))
        , searched(disk)
        , yield(yieldFn)
        , ahead(disk)
    {
    }
    PathStyle style;
    std::string suffix;
    std::vector<Found> found;
    std::vector<FolderProblem> unlisted;
    SearchedFolders searched;
    const YieldFn& yield;
    ListingReadAhead ahead;
};

// Depth first, in the order of each listing. The listings of a folder's subfolders are asked
// for as soon as the folder's own listing is there, so that several are in flight while the
// search goes down the first; which folders are searched, and in which order, is decided here
// alone, as the listings are taken.
void ScanDirectory(const std::string& dir, Search& s)
{
    if (s.yield)
        s.yield();
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
    std::vector<FolderEntry>& entries = listing.entries;
    TakeEachNameOnce(entries);
    std::vector<std::string> paths;
    paths.reserve(entries.size());
    for (const FolderEntry& e : entries)
        paths.push_back(JoinPath(dir, e.name, s.style));
    // The first subfolder is asked for last: it is listed first.
    for (size_t k = entries.size(); k-- > 0;) {
        if (entries[k].isFolder)
            s.ahead.Ask(paths[k]);
    }
    for (size_t k = 0; k < entries.size(); ++k) {
        if (entries[k].isFolder)
            ScanDirectory(paths[k], s);
        else if (entries[k].failure || MatchesSuffix(entries[k].name, s.suffix))
            s.found.push_back({ std::move(paths[k]), entries[k].failure });
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
    FileSystem& disk, const std::string& startDir, const std::string& filter, const YieldFn& yield)
{
    Search s(disk, NormaliseFilter(filter), yield);
    ScanDirectory(startDir, s);
    if (yield)
        yield();
    std::vector<std::string> files;
    files.reserve(s.found.size());
    for (Found& f : s.found) {
        // An entry that could not be examined is a file here only by its name.
        if (!f.failure || MatchesSuffix(f.path, s.suffix))
            files.push_back(std::move(f.path));
    }
    return files;
}

TreeListing CollectMatchingFiles(
    FileSystem& disk, const std::string& startDir, const std::string& pattern, const YieldFn& yield)
{
    TreeListing listing;
    const PathStatus start = disk.Examine(startDir);
    if (start.kind != PathKind::Folder) {
        listing.startFailure
            = start.kind == PathKind::Missing ? start.failure : Failure { FailureKind::NotFolder };
        if (yield)
            yield();
        return listing;
    }

    Search s(disk, "*", yield);
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
    const PathPattern compiled(pattern);
    for (Found& f : s.found) {
        if (compiled.Matches(f.path))
            listing.files.push_back(std::move(f.path));
        else if (f.failure) // perhaps a folder, whose pages would be missing without a word
            listing.unlisted.push_back({ std::move(f.path), f.failure });
    }
    return listing;
}

namespace {

// The names of one kind of entry directly in `dir`, unsorted, without the hidden ones.
std::vector<std::string> ListNames(FileSystem& disk, const std::string& dir, bool directories)
{
    std::vector<FolderEntry> entries;
    std::vector<std::string> names;
    if (disk.ListFolder(dir, entries, nullptr))
        return names;
    TakeEachNameOnce(entries);
    names.reserve(entries.size());
    for (FolderEntry& e : entries) {
        if (e.isFolder == directories && !e.hidden)
            names.push_back(std::move(e.name));
    }
    return names;
}

} // namespace

std::vector<std::string> ListFileNames(FileSystem& disk, const std::string& dir)
{
    return ListNames(disk, dir, false);
}

std::vector<std::string> ListDirectoryNames(FileSystem& disk, const std::string& dir)
{
    return ListNames(disk, dir, true);
}

} // namespace tovaro
