#include "walk.h"

#include "paths.h"
#include "pattern.h"
#include "read_ahead.h"
#include "text.h"

#include <set>
#include <utility>

namespace tovaro {

namespace {

using Seen = std::set<FileId>;

struct Search {
    std::string suffix;
    std::vector<std::string> files;
    std::vector<std::string> unlisted;
    Seen seen;
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
    if (!listing.error.empty()) {
        s.unlisted.push_back(dir);
        return;
    }
    // A folder already searched (a link or junction back up the tree) is not searched again.
    if (!s.seen.insert(listing.id).second)
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
    Search s { NormaliseFilter(filter), {}, {}, {}, &yield, {} };
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

    Search s { "*", {}, {}, {}, &yield, {} };
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
    if (!Disk().ListFolder(dir, entries, nullptr).empty())
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
