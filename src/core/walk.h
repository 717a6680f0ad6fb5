// Recursive file search: every file below a directory, depth first, in the order in which the
// file system lists the entries.
#pragma once

#include "platform/file_system.h"

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
/// listing fails in its middle, the entries listed before are kept. A name that a listing gives
/// twice is taken once.
std::vector<std::string> CollectFiles(FileSystem& disk, const std::string& startDir,
    const std::string& filter, const YieldFn& yield = {});

/// A folder that could not be listed, or not to its end.
struct FolderProblem {
    std::string path;
    Failure failure;
    friend bool operator==(const FolderProblem& a, const FolderProblem& b)
    {
        return a.path == b.path && a.failure.kind == b.failure.kind;
    }
};

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
/// `startDir` (as CollectFiles with "*.*"), tested with the whole path against `pattern`. An
/// entry that could not be examined (neither known as a folder nor as a file) is taken as a
/// file where its path matches the pattern, so that the run says why it cannot be read, and is
/// otherwise reported as a folder that could not be listed.
TreeListing CollectMatchingFiles(FileSystem& disk, const std::string& startDir,
    const std::string& pattern, const YieldFn& yield = {});

/// The plain files (not directories) directly in `dir`, by name only, unsorted, without the
/// hidden ones. Empty when the directory cannot be listed.
std::vector<std::string> ListFileNames(FileSystem& disk, const std::string& dir);

/// The subdirectory names directly in `dir` (links to directories included), unsorted, without
/// the hidden ones.
std::vector<std::string> ListDirectoryNames(FileSystem& disk, const std::string& dir);

} // namespace tovaro
