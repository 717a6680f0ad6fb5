// Recursive file search: every file below a directory, depth first, in the order in which the
// file system lists the entries.
#pragma once

#include "platform/failure.h"

#include <functional>
#include <string>
#include <vector>

namespace tovaro {

/// Called once at the start of every directory and once after the whole search, so that a
/// user interface can handle its pending events.
using YieldFn = std::function<void()>;

/// Turns a user filter into the suffix that the search compares: blanks trimmed, upper case,
/// and a leading "*" replaced by what follows the first "." ("*.*" -> "*", "*.htm" -> "HTM").
std::string NormaliseFilter(const std::string& filter);

/// True when the file name matches the normalised suffix ("*" matches all).
bool MatchesSuffix(const std::string& name, const std::string& suffix);

/// Every file at any depth below `startDir` whose name matches `filter`, as absolute paths in
/// discovery order. Links to directories are followed, but a directory already listed in this
/// search is not listed again, so the search ends on every tree. A link to a file and a
/// dangling link count as files. Directories that cannot be listed are skipped; of one whose
/// listing fails in its middle, the entries listed before are kept.
std::vector<std::string> CollectFiles(
    const std::string& startDir, const std::string& filter, const YieldFn& yield = {});

/// A folder that could not be listed, or not to its end.
struct FolderProblem {
    std::string path;
    Failure failure;
    friend bool operator==(const FolderProblem& a, const FolderProblem& b)
    {
        return a.path == b.path && a.failure.kind == b.failure.kind;
    }
};

/// The status line for a folder whose files may be missing from the selection.
std::string FolderProblemLine(const FolderProblem& problem);

struct TreeListing {
    std::vector<std::string> files; ///< the matching files, in discovery order
    /// Folders below the start that could not be listed, or not to their end; the files they
    /// did list are kept.
    std::vector<FolderProblem> unlisted;
    /// Why the start folder itself could not be listed (to its end), or no failure; with one,
    /// no file is selected.
    Failure startFailure;
};

/// The recursive add, for the wizard's "+++" and tovaro-gen's --tree alike: every file below
/// `startDir` (as CollectFiles with "*.*"), tested with the whole path against the pattern
/// that `pattern` gives once the search has returned.
TreeListing CollectMatchingFiles(const std::string& startDir,
    const std::function<std::string()>& pattern, const YieldFn& yield = {});

/// The plain files (not directories) directly in `dir`, by name only, unsorted. Empty when the
/// directory cannot be listed.
std::vector<std::string> ListFileNames(const std::string& dir);

/// The subdirectory names directly in `dir` (links to directories included), unsorted.
std::vector<std::string> ListDirectoryNames(const std::string& dir);

} // namespace tovaro
