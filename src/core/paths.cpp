#include "paths.h"

namespace tovaro {

std::string DefaultOutputPath(
    FileSystem& disk, const std::string& programDir, const std::string& homeDir)
{
    const bool writable = disk.CanCreateIn(programDir);
    // The separator is always added, as to the help path: a root gives a doubled one.
    const char* name = disk.Style() == PathStyle::Windows ? "\\lookup.htm" : "/lookup.htm";
    return (writable || homeDir.empty() ? programDir : homeDir) + name;
}

SiteLocator::SiteLocator(FileSystem& disk, std::string siteDir)
    : disk_(disk)
    , style_(disk.Style())
    , site_(std::move(siteDir))
    , realSite_(RealPath(site_))
{
}

// Empty where the path has no real location (it does not exist).
std::string SiteLocator::RealPath(const std::string& path)
{
    OrFailure<std::string> real = disk_.RealPath(path);
    return real ? std::move(*real) : std::string();
}

std::optional<std::string> SiteLocator::Relative(const std::string& filePath)
{
    if (auto rel = BelowFolder(filePath, site_, style_))
        return std::string(*rel);
    if (realSite_.empty())
        return std::nullopt;
    if (auto rel = BelowFolder(filePath, realSite_, style_))
        return std::string(*rel);
    const size_t slash
        = style_ == PathStyle::Windows ? filePath.find_last_of("\\/") : filePath.rfind('/');
    if (slash == std::string::npos)
        return std::nullopt;
    const std::string folder = ParentDirectory(filePath, style_);
    if (folder != lastFolder_) {
        lastFolder_ = folder;
        lastRealFolder_ = RealPath(folder);
    }
    if (SameFolder(lastRealFolder_, realSite_, style_))
        return filePath.substr(slash + 1);
    if (auto rel = BelowFolder(lastRealFolder_, realSite_, style_))
        return std::string(*rel) + filePath.substr(slash);
    return std::nullopt;
}

} // namespace tovaro
