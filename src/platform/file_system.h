// The file system as the core sees it: the one place that knows the operating system. Linux
// and Windows each implement it in their own folder; tests put another in its place.
#pragma once

#include "base/path_text.h"
#include "platform/failure.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovaro {

/// Which file a path names, whatever path leads to it: device and inode on Linux, volume
/// serial number and file index on Windows.
struct FileId {
    unsigned long long volume = 0;
    unsigned long long index = 0;
    friend bool operator==(const FileId& a, const FileId& b)
    {
        return a.volume == b.volume && a.index == b.index;
    }
    friend bool operator<(const FileId& a, const FileId& b)
    {
        return a.volume != b.volume ? a.volume < b.volume : a.index < b.index;
    }
};

struct FolderEntry {
    std::string name;
    bool isFolder = false; ///< a folder, or a link that leads to one
    /// Not shown in the folder and file boxes: on Linux a name that starts with ".". (Windows
    /// leaves hidden and system entries out of its listings altogether.)
    bool hidden = false;
    /// Why the entry could not be examined, so that it is neither known as a folder nor as a
    /// file (a link into a folder the user may not enter, a share whose attributes fail). A
    /// link that leads nowhere is no failure: it is not a folder.
    Failure failure {};
};

enum class PathKind { Missing, File, Folder, Other };

/// What lies at a path (links followed), and why it could not be examined or why nothing is
/// there.
struct PathStatus {
    PathKind kind = PathKind::Missing;
    Failure failure;
};

/// The group a new page was given instead of the old page's, by the groups' names.
struct GroupChange {
    std::string oldGroup;
    std::string newGroup;
};

/// How a replacement of the search page went: why it was not replaced, or, on a page that was
/// written, whether its group could not be kept.
struct [[nodiscard]] StoreResult {
    Failure failure;
    std::optional<GroupChange> groupChange;

    static StoreResult Failed(FailureKind kind) { return { { kind, 0 }, {} }; }
    static StoreResult SystemError(int code) { return { SystemFailure(code), {} }; }
    bool Ok() const { return !failure; }
};

/// An open file, read as bytes from its start.
class InputFile {
public:
    virtual ~InputFile() = default;
    /// Up to `size` bytes; 0 at the end of the file.
    virtual OrFailure<size_t> Read(char* buffer, size_t size) = 0;
};

/// A regular file opened for reading, and which file it is.
struct OpenedFile {
    std::unique_ptr<InputFile> file;
    FileId id;
};

/// What the core asks of a file system. Reading heads and listing folders ahead runs every
/// function but Replace from several threads at once (up to kRequestsInFlight readers or
/// listers besides the run's own thread), so each implementation answers concurrent calls,
/// keeping no state between them that another thread could see half made. Replace is called
/// from the run's thread only, once no reader is left.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    virtual PathStyle Style() const = 0;
    /// The process's current folder.
    virtual std::string CurrentDirectory() = 0;
    /// The real location of an existing path, every link resolved.
    virtual OrFailure<std::string> RealPath(const std::string& path) = 0;
    virtual PathStatus Examine(const std::string& path) = 0;
    /// Which file `path` names (links followed).
    virtual OrFailure<FileId> Identify(const std::string& path) = 0;
    /// True when new files can be created in `folder`.
    virtual bool CanCreateIn(const std::string& folder) = 0;

    /// A regular file opened for reading its bytes, shared with other programs. Anything else
    /// (a folder, a pipe, a device) fails without being read from, so nothing blocks.
    virtual OrFailure<OpenedFile> OpenRegular(const std::string& path) = 0;
    /// The whole content of a file, also of a pipe (a list of files), or why it could not be
    /// read to its end.
    virtual Failure ReadWhole(const std::string& path, std::string& content) = 0;

    /// The entries of a folder in the order the file system lists them, without "." and "..",
    /// and the folder's own identity in `id`. Returns why the folder cannot be listed, or not
    /// to its end (the entries listed before the failure are kept), or no failure.
    virtual Failure ListFolder(
        const std::string& path, std::vector<FolderEntry>& entries, FileId* id)
        = 0;

    /// Replaces the file at `path` with `content` as one step: a failed or interrupted write
    /// leaves the old file as it was.
    virtual StoreResult Replace(const std::string& path, std::string_view content) = 0;
};

/// Passes every call on to another file system; a test or a benchmark overrides the calls it
/// changes.
class ForwardingFileSystem : public FileSystem {
public:
    explicit ForwardingFileSystem(FileSystem& inner)
        : inner_(inner)
    {
    }
    PathStyle Style() const override { return inner_.Style(); }
    std::string CurrentDirectory() override { return inner_.CurrentDirectory(); }
    OrFailure<std::string> RealPath(const std::string& path) override
    {
        return inner_.RealPath(path);
    }
    PathStatus Examine(const std::string& path) override { return inner_.Examine(path); }
    OrFailure<FileId> Identify(const std::string& path) override { return inner_.Identify(path); }
    bool CanCreateIn(const std::string& folder) override { return inner_.CanCreateIn(folder); }
    OrFailure<OpenedFile> OpenRegular(const std::string& path) override
    {
        return inner_.OpenRegular(path);
    }
    Failure ReadWhole(const std::string& path, std::string& content) override
    {
        return inner_.ReadWhole(path, content);
    }
    Failure ListFolder(
        const std::string& path, std::vector<FolderEntry>& entries, FileId* id) override
    {
        return inner_.ListFolder(path, entries, id);
    }
    StoreResult Replace(const std::string& path, std::string_view content) override
    {
        return inner_.Replace(path, content);
    }

private:
    FileSystem& inner_;
};

/// The operating system's own file system. The programs make one in their `main` and hand it
/// to whatever reads or writes files.
std::unique_ptr<FileSystem> MakeNativeFileSystem();

} // namespace tovaro
