// The generation run: every file of the list, in order, becomes an entry of the search page or
// a status line; the page is written at the end. The wizard and the command-line generator
// both drive this one loop, each with its own sink.
#pragma once

#include "page_writer.h"
#include "walk.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tovaro {

/// What a front end hands to a run. The wizard and tovaro-gen run by the same rules: the search
/// page is never indexed, whatever path in the list names it; files are placed in the site
/// folder by their real location (links resolved), and every indexed file outside it is told to
/// the sink; and a run with no file left to read writes nothing when its folders could not be
/// read, or when an empty page is not allowed.
struct RunInputs {
    std::vector<std::string> files;
    std::string siteDir;
    std::string outputPath;
    std::string webRoot;
    Appearance appearance;
    SearchRules search {};
    /// Folders of the selection that could not be listed to their end: their files may be
    /// missing from the list, so each is reported first, as a status line of its own.
    std::vector<FolderProblem> unlistedFolders {};
    /// A selection without any file writes a page without entries (a list emptied on purpose,
    /// tovaro-gen's --allow-empty), unless folders of the selection could not be read.
    bool allowEmpty = false;
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

struct [[nodiscard]] RunResult {
    bool written = false;
    /// Refused, the old page kept: no file was left to read (see `RunInputs::allowEmpty`).
    bool nothingSelected = false;
    Failure failure; ///< why the page could not be written
    std::optional<GroupChange> groupChange; ///< on a written page: the group it could not keep
    size_t entries = 0; ///< complete pages in the index
    size_t incomplete = 0; ///< files with a missing field
    size_t unreadable = 0; ///< files that could not be read
    size_t outside = 0; ///< indexed files outside the site folder
    size_t unlistedFolders = 0; ///< folders of the selection reported as not listed
};

/// "Fehlend: " line for a file, or empty when the file is complete.
std::string MissingFieldsLine(const std::string& path, const std::string& title,
    const std::string& keywords, const std::string& description);

/// Reads every file of the list in order, reports the incomplete and unreadable ones to the
/// sink, and replaces the output file with the search page as one step (`FileSystem::Replace`).
/// Out of memory, the old page stays and the result says why.
RunResult RunGeneration(FileSystem& disk, const RunInputs& inputs, RunSink& sink);

} // namespace tovaro
