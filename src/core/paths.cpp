#include "paths.h"

#include <climits>
#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace tovaro {

std::string DefaultOutputPath(const std::string& programDir, const std::string& homeDir)
{
    const bool writable = ::access(programDir.c_str(), W_OK) == 0;
    return (writable || homeDir.empty() ? programDir : homeDir) + "/lookup.htm";
}

namespace {

// True when an absolute path is already in normal form: no empty, "." or ".." part and no
// closing separator (the root "/" aside).
bool IsNormalAbsolute(std::string_view path)
{
    if (path.empty() || path.front() != '/')
        return false;
    if (path.size() == 1)
        return true;
    if (path.back() == '/')
        return false;
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] != '/')
            continue;
        // The part after this separator.
        const size_t next = i + 1;
        if (next < path.size() && path[next] == '/')
            return false;
        if (next < path.size() && path[next] == '.') {
            const size_t after = next + 1;
            if (after == path.size() || path[after] == '/')
                return false; // "."
            if (path[after] == '.' && (after + 1 == path.size() || path[after + 1] == '/'))
                return false; // ".."
        }
    }
    return true;
}

} // namespace

std::string AbsolutePath(std::string_view path, std::string_view cwd)
{
    // Lists from find(1) and site builds are usually normal already.
    if (IsNormalAbsolute(path))
        return std::string(path);
    std::string full;
    if (!path.empty() && path.front() == '/') {
        full = path;
    } else {
        full = cwd;
        full += '/';
        full += path;
    }
    std::vector<std::string_view> parts;
    std::string_view rest(full);
    while (!rest.empty()) {
        size_t slash = rest.find('/');
        std::string_view part = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::string out;
    for (std::string_view part : parts) {
        out += '/';
        out += part;
    }
    return out.empty() ? "/" : out;
}

std::string ParentDirectory(std::string_view path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string_view::npos)
        return ".";
    if (slash == 0)
        return "/";
    return std::string(path.substr(0, slash));
}

std::string CurrentDirectory()
{
    std::vector<char> buf(PATH_MAX);
    for (;;) {
        if (::getcwd(buf.data(), buf.size()) != nullptr)
            return buf.data();
        if (buf.size() > 1 << 20)
            return "/";
        buf.resize(buf.size() * 2);
    }
}

std::string RealPath(const std::string& path)
{
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr)
        return {};
    std::string out(real);
    std::free(real);
    return out;
}

std::optional<std::string_view> BelowFolder(std::string_view path, std::string_view dir)
{
    if (dir.empty() || path.substr(0, dir.size()) != dir)
        return std::nullopt;
    if (dir.back() == '/')
        return path.substr(dir.size());
    if (path.size() > dir.size() && path[dir.size()] == '/')
        return path.substr(dir.size() + 1);
    return std::nullopt;
}

SiteLocator::SiteLocator(std::string siteDir)
    : site_(std::move(siteDir))
    , realSite_(RealPath(site_))
{
}

std::optional<std::string> SiteLocator::Relative(const std::string& filePath)
{
    if (auto rel = BelowFolder(filePath, site_))
        return std::string(*rel);
    if (realSite_.empty())
        return std::nullopt;
    if (auto rel = BelowFolder(filePath, realSite_))
        return std::string(*rel);
    const size_t slash = filePath.rfind('/');
    if (slash == std::string::npos)
        return std::nullopt;
    const std::string folder = slash == 0 ? "/" : filePath.substr(0, slash);
    if (folder != lastFolder_) {
        lastFolder_ = folder;
        lastRealFolder_ = RealPath(folder);
    }
    if (lastRealFolder_ == realSite_)
        return filePath.substr(slash + 1);
    if (auto rel = BelowFolder(lastRealFolder_, realSite_))
        return std::string(*rel) + filePath.substr(slash);
    return std::nullopt;
}

} // namespace tovaro
