#include "walk.h"

#include "pattern.h"
#include "text.h"

#include <cerrno>
#include <dirent.h>
#include <set>
#include <sys/stat.h>
#include <utility>

namespace tovaro {

namespace {

struct Entry {
    std::string name;
    bool isDir;
};

using Seen = std::set<std::pair<dev_t, ino_t>>;

bool IsDirectoryEntry(const std::string& dir, const dirent* d)
{
    if (d->d_type == DT_DIR)
        return true;
    if (d->d_type != DT_LNK && d->d_type != DT_UNKNOWN)
        return false;
    // Follow the link; a dangling link is a file.
    struct stat st { };
    std::string full = JoinPath(dir, d->d_name);
    return ::stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

enum class Listed { Yes, Unlistable, Before };

// Reads a whole directory and closes it before anything descends, so that a deep tree
// holds one open directory at a time.
Listed ReadDirectory(
    const std::string& dir, Seen* seen, std::vector<Entry>& out, int* error = nullptr)
{
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) {
        if (error != nullptr)
            *error = errno;
        return Listed::Unlistable;
    }
    if (seen != nullptr) {
        struct stat st { };
        if (::fstat(::dirfd(d), &st) != 0 || !seen->insert({ st.st_dev, st.st_ino }).second) {
            ::closedir(d);
            return Listed::Before;
        }
    }
    while (const dirent* e = ::readdir(d)) {
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0')))
            continue;
        out.push_back({ n, IsDirectoryEntry(dir, e) });
    }
    ::closedir(d);
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
    std::vector<Entry> entries;
    const Listed listed = ReadDirectory(dir, &s.seen, entries);
    if (listed == Listed::Unlistable)
        s.unlisted.push_back(dir);
    if (listed != Listed::Yes)
        return;
    for (const Entry& e : entries) {
        std::string path = JoinPath(dir, e.name);
        if (e.isDir)
            ScanDirectory(path, s);
        else if (MatchesSuffix(e.name, s.suffix))
            s.files.push_back(std::move(path));
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
    struct stat st { };
    if (::stat(startDir.c_str(), &st) != 0) {
        listing.startError = errno;
    } else if (!S_ISDIR(st.st_mode)) {
        listing.startError = ENOTDIR;
    } else if (DIR* d = ::opendir(startDir.c_str())) {
        ::closedir(d);
    } else {
        listing.startError = errno;
    }
    if (listing.startError != 0) {
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
    std::vector<Entry> entries;
    std::vector<std::string> names;
    if (ReadDirectory(dir, nullptr, entries) != Listed::Yes)
        return names;
    names.reserve(entries.size());
    for (Entry& e : entries) {
        if (e.isDir == directories)
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
