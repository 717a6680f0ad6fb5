#include "run.h"

#include "failure_text.h"
#include "head_scan.h"
#include "page_url.h"
#include "paths.h"
#include "read_ahead.h"
#include "script_clean.h"

#include <algorithm>
#include <new>
#include <optional>

namespace tovaro {

std::string MissingFieldsLine(const std::string& path, const std::string& title,
    const std::string& keywords, const std::string& description)
{
    std::string list;
    if (title.empty())
        list += "Titel, ";
    if (keywords.empty())
        list += "Keywords, ";
    if (description.empty())
        list += "Description, ";
    if (list.empty())
        return {};
    list.resize(list.size() - 2);
    return "Fehlend: " + list + " " + path;
}

namespace {
void BuildPage(
    FileSystem& disk, const RunInputs& in, RunSink& sink, std::string& page, RunResult& result);
}

RunResult RunGeneration(FileSystem& disk, const RunInputs& in, RunSink& sink)
{
    RunResult result;
    sink.RunStarted(in.files.size());

    // Room for the usual page up front spares copying it as it grows. The room is address
    // space, not memory, until the page fills it; it is capped so that a list of millions of
    // missing files cannot make the reservation itself fail.
    std::string page;
    try {
        page.reserve(std::min<size_t>(8192 + in.files.size() * 256, size_t { 64 } << 20));
        BuildPage(disk, in, sink, page, result);
    } catch (const std::bad_alloc&) {
        result.failure = { FailureKind::OutOfMemory, 0 };
        return result;
    }
    if (result.nothingSelected)
        return result;
    StoreResult stored = disk.Replace(in.outputPath, page);
    result.written = stored.Ok();
    result.failure = stored.failure;
    result.groupChange = std::move(stored.groupChange);
    return result;
}

namespace {

void BuildPage(
    FileSystem& disk, const RunInputs& in, RunSink& sink, std::string& page, RunResult& result)
{
    const PathStyle style = disk.Style();
    AppendPageHead(page, in.appearance, in.search);
    for (const FolderProblem& folder : in.unlistedFolders)
        sink.StatusLine(FolderProblemLine(folder, style));
    result.unlistedFolders = in.unlistedFolders.size();

    // The search page is no page of the site, by whatever path the list reaches it.
    const OrFailure<FileId> output = disk.Identify(in.outputPath);
    SiteLocator site(disk, in.siteDir);
    size_t skipped = 0;

    // The heads are read ahead, several at a time; everything else happens here, file by file
    // in the list's order, so the page and the sink's calls do not depend on timing.
    HeadReadAhead heads(disk, in.files, output ? &*output : nullptr);
    for (size_t i = 0; i < in.files.size(); ++i) {
        const std::string& path = in.files[i];
        sink.FileStarted(i, path);

        ReadResult read = heads.Take(i);
        if (read.status == ReadStatus::Skipped) {
            ++skipped;
            continue;
        }
        if (read.status == ReadStatus::Unreadable) {
            ++result.unreadable;
            sink.StatusLine(UnreadableLine(path, read.failure, style));
            continue;
        }
        PageFields& clean = read.fields;
        CleanForScriptInPlace(clean);
        std::string missing
            = MissingFieldsLine(path, clean.title, clean.keywords, clean.description);
        if (!missing.empty()) {
            ++result.incomplete;
            sink.StatusLine(missing);
            continue;
        }
        PageEntry entry;
        if (std::optional<std::string> relative = site.Relative(path)) {
            entry.url = MakePageUrl(*relative, {}, in.webRoot, style);
        } else {
            ++result.outside;
            sink.OutsideSite(path);
            entry.url = MakePageUrl(path, in.siteDir, in.webRoot, style);
        }
        entry.keywords = std::move(clean.keywords);
        entry.title = std::move(clean.title);
        entry.description = std::move(clean.description);
        AppendEntryBlock(page, result.entries, entry);
        ++result.entries;
    }

    AppendPageTail(page, result.entries, in.appearance, in.search);
    // No file left to read: a page without entries only where that is allowed, and never when
    // folders of the selection could not be read (their pages may be the missing ones).
    result.nothingSelected
        = skipped == in.files.size() && (!in.allowEmpty || !in.unlistedFolders.empty());
}

} // namespace

} // namespace tovaro
