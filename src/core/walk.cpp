#include "walk.h"

#include "pattern.h"
#include "text.h"

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

// Reads a whole directory and closes it before anything descends, so that a deep tree
// holds one open directory at a time. Returns false when it cannot be listed, or was listed
// before in this search.
bool ReadDirectory(const std::string& dir, Seen* seen, std::vector<Entry>& out)
{
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr)
        return false;
    if (seen != nullptr) {
        struct stat st { };
        if (::fstat(::dirfd(d), &st) != 0 || !seen->insert({ st.st_dev, st.st_ino }).second) {
            ::closedir(d);
            return false;
        }
    }
    while (const dirent* e = ::readdir(d)) {
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0')))
            continue;
        out.push_back({ n, IsDirectoryEntry(dir, e) });
    }
    ::closedir(d);
    return true;
}

void ScanDirectory(const std::string& dir, const std::string& suffix,
    std::vector<std::string>& result, Seen& seen, const YieldFn& yield)
{
    if (yield)
        yield();
    std::vector<Entry> entries;
    if (!ReadDirectory(dir, &seen, entries))
        return;
    for (const Entry& e : entries) {
        std::string path = JoinPath(dir, e.name);
        if (e.isDir)
            ScanDirectory(path, suffix, result, seen, yield);
        else if (MatchesSuffix(e.name, suffix))
            result.push_back(std::move(path));
    }
}

} // namespace

std::string NormaliseFilter(const std::string& filter)
{
    std::string f(TrimBlanks(filter));
    for (char& c : f) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
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
        char c = name[name.size() - suffix.size() + i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c != suffix[i])
            return false;
    }
    return true;
}

std::vector<std::string> CollectFiles(
    const std::string& startDir, const std::string& filter, const YieldFn& yield)
{
    std::vector<std::string> result;
    Seen seen;
    ScanDirectory(startDir, NormaliseFilter(filter), result, seen, yield);
    if (yield)
        yield();
    return result;
}

std::vector<std::string> ListFileNames(const std::string& dir)
{
    std::vector<Entry> entries;
    std::vector<std::string> names;
    if (!ReadDirectory(dir, nullptr, entries))
        return names;
    names.reserve(entries.size());
    for (Entry& e : entries) {
        if (!e.isDir)
            names.push_back(std::move(e.name));
    }
    return names;
}

std::vector<std::string> ListDirectoryNames(const std::string& dir)
{
    std::vector<Entry> entries;
    std::vector<std::string> names;
    if (!ReadDirectory(dir, nullptr, entries))
        return names;
    for (Entry& e : entries) {
        if (e.isDir)
            names.push_back(std::move(e.name));
    }
    return names;
}

} // namespace tovaro
