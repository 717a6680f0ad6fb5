// A file system in memory, in either path style, for tests where the real one is not the
// point: folders list their entries in the order they were added, links lead to folders,
// folders can be made unlistable, and a replaced page is kept as its bytes.
#pragma once

#include "platform/file_system.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tovaro::test {

class MemoryFileSystem : public FileSystem {
public:
    MemoryFileSystem(PathStyle style, std::string cwd);

    /// Adds a file (and the folders on its way), listed after what its folder already holds.
    void AddFile(const std::string& path, const std::string& content);
    std::string AddFolder(const std::string& path);
    /// An entry `path` that leads to the folder `target` (a link or a junction).
    void AddFolderLink(const std::string& path, const std::string& target);
    void MakeUnlistable(const std::string& path);
    /// The folder's listing fails after its first `count` entries, as on a share that drops.
    void FailListingAfter(const std::string& path, size_t count);
    /// The entry `path` cannot be examined when its folder is listed (a link into a folder the
    /// user may not enter, a share whose attributes fail).
    void FailExamining(const std::string& path, Failure failure);
    /// The folder's listing gives each entry twice, as some shares do.
    void ListTwice(const std::string& path);
    /// Every folder reports the same identity, as some network and FUSE file systems do.
    bool sameFolderIds = false;
    /// The content of a file, or "<fehlt>".
    std::string Content(const std::string& path) const;

    PathStyle Style() const override { return style_; }
    std::string CurrentDirectory() override { return cwd_; }
    OrFailure<std::string> RealPath(const std::string& path) override;
    PathStatus Examine(const std::string& path) override;
    OrFailure<FileId> Identify(const std::string& path) override;
    bool CanCreateIn(const std::string& folder) override;
    OrFailure<OpenedFile> OpenRegular(const std::string& path) override;
    Failure ReadWhole(const std::string& path, std::string& content) override;
    Failure ListFolder(
        const std::string& path, std::vector<FolderEntry>& entries, FileId* id) override;
    StoreResult Replace(const std::string& path, std::string_view content) override;

private:
    struct Node {
        bool folder = false;
        std::string path; // as the file system spells it
        std::string content;
        std::vector<std::string> children;
        std::string linkTo; // key of the folder a link leads to
        bool unlistable = false;
        size_t failAfter = SIZE_MAX;
        Failure examineFailure;
        bool listedTwice = false;
        unsigned long long index = 0;
    };
    std::string Key(const std::string& path) const;
    Node* Find(const std::string& path); // links followed
    Node& Make(const std::string& path, bool folder);

    PathStyle style_;
    std::string cwd_;
    std::map<std::string, Node> nodes_;
    unsigned long long nextIndex_ = 1;
};

} // namespace tovaro::test
