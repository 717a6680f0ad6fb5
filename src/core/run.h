// The generation run: every file of the list, in order, becomes an entry of the search page or
// a status line; the page is written at the end. The wizard and the command-line generator
// both drive this one loop, each with its own sink.
#pragma once

#include "page_writer.h"
#include "walk.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tovaro {

struct RunInputs {
    std::vector<std::string> files;
    std::string siteDir;
    std::string outputPath;
    std::string webRoot;
    Appearance appearance;
    /// Leave the output file out of the index, whichever path in the list names it.
    bool skipOutputFile = false;
    /// Place files in the site folder by their real location (links resolved) and report
    /// every indexed file outside it; otherwise the site folder is removed as it is written.
    bool realSiteLocations = false;
    /// Write nothing, and keep the old page, when no file of the list is left to read.
    bool refuseEmptySelection = false;
    /// Folders of the selection that could not be listed to their end: their files may be
    /// missing from the list, so each is reported first, as a status line of its own.
    std::vector<FolderProblem> unlistedFolders {};
};

/// Receives the run's progress. Every call comes from the run's own thread, in order.
class RunSink {
public:
    virtual ~RunSink() = default;
    /// Before the first file; `fileCount` is the length of the file list.
    virtual void RunStarted(size_t fileCount) { (void)fileCount; }
    /// At the start of file `index`.
    virtual void FileStarted(size_t index, const std::string& path)
    {
        (void)index;
        (void)path;
    }
    /// A line for the status list ("Fehlend: ...", "Nicht lesbar: ..." or "Ordner nicht
    /// lesbar: ...").
    virtual void StatusLine(const std::string& line) { (void)line; }
    /// An indexed file that lies outside the site folder (with `realSiteLocations` only).
    virtual void OutsideSite(const std::string& path) { (void)path; }
};

struct RunResult {
    bool written = false;
    bool nothingSelected = false; ///< refused: no file to read (`refuseEmptySelection`)
    std::string message; ///< the success message, or the error message
    Failure failure; ///< why the page was not written
    std::string warning; ///< what of the old page could not be kept, on a written page
    size_t entries = 0; ///< complete pages in the index
    size_t incomplete = 0; ///< files with a missing field
    size_t unreadable = 0; ///< files that could not be read
    size_t outside = 0; ///< indexed files outside the site folder
    size_t unlistedFolders = 0; ///< folders of the selection reported as not listed
};

extern const char* const kSuccessMessage;
extern const char* const kMessageTitle;
extern const char* const kNothingSelectedMessage;

/// The line that says the page at `path` was not written (its reason follows on a line of its
/// own).
std::string NotWrittenLine(const std::string& path);

/// "Fehlend: " line for a file, or empty when the file is complete.
std::string MissingFieldsLine(const std::string& path, const std::string& title,
    const std::string& keywords, const std::string& description);

/// Reads every file of the list in order, reports the incomplete and unreadable ones to the
/// sink, and replaces the output file with the search page as one step (`FileSystem::Replace`).
/// Out of memory, the old page stays and the result says why.
RunResult RunGeneration(const RunInputs& inputs, RunSink& sink);

} // namespace tovaro
