#include "run.h"

#include "error_text.h"
#include "extract.h"
#include "output_file.h"

#include <algorithm>
#include <cerrno>
#include <new>

namespace tovaro {

const char* const kSuccessMessage = "Die Suchdatei wurde erfolgreich erstellt!";
const char* const kMessageTitle = "Suchdatei";

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
void BuildPage(const RunInputs& in, RunSink& sink, std::string& page, RunResult& result);
}

RunResult RunGeneration(const RunInputs& in, RunSink& sink, PageStore& store)
{
    RunResult result;
    sink.RunStarted(in.files.size());

    // Room for the usual page up front spares copying it as it grows. The room is address
    // space, not memory, until the page fills it; it is capped so that a list of millions of
    // missing files cannot make the reservation itself fail.
    std::string page;
    try {
        page.reserve(std::min<size_t>(8192 + in.files.size() * 256, size_t { 64 } << 20));
        BuildPage(in, sink, page, result);
    } catch (const std::bad_alloc&) {
        result.message = "Die Suchdatei konnte nicht erstellt werden: " + in.outputPath + "\n"
            + ErrorText(ENOMEM);
        return result;
    }
    std::string error = store.Replace(in.outputPath, page);
    if (error.empty()) {
        result.written = true;
        result.message = kSuccessMessage;
    } else {
        result.message
            = "Die Suchdatei konnte nicht erstellt werden: " + in.outputPath + "\n" + error;
    }
    return result;
}

namespace {

void BuildPage(const RunInputs& in, RunSink& sink, std::string& page, RunResult& result)
{
    AppendPageHead(page, in.appearance);

    for (size_t i = 0; i < in.files.size(); ++i) {
        const std::string& path = in.files[i];
        sink.FileStarted(i, path);

        ReadResult read = ReadPageFields(path);
        if (read.status == ReadStatus::Unreadable) {
            ++result.unreadable;
            sink.StatusLine("Nicht lesbar: " + path);
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
        entry.url = MakePageUrl(path, in.siteDir, in.webRoot);
        entry.keywords = std::move(clean.keywords);
        entry.title = std::move(clean.title);
        entry.description = std::move(clean.description);
        AppendEntryBlock(page, result.entries, entry);
        ++result.entries;
    }

    AppendPageTail(page, result.entries, in.appearance);
}

} // namespace

RunResult RunGeneration(const RunInputs& inputs, RunSink& sink)
{
    AtomicFileStore store;
    return RunGeneration(inputs, sink, store);
}

} // namespace tovaro
