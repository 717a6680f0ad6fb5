#include "memory_file_system.h"

#include "base/path_text.h"

#include <cstring>

namespace tovaro::test {

namespace {

class MemoryInputFile : public InputFile {
public:
    explicit MemoryInputFile(std::string content)
        : content_(std::move(content))
    {
    }
    OrFailure<size_t> Read(char* buffer, size_t size) override
    {
        const size_t n = std::min(size, content_.size() - at_);
        std::memcpy(buffer, content_.data() + at_, n);
        at_ += n;
        return n;
    }

private:
    std::string content_;
    size_t at_ = 0;
};

} // namespace

MemoryFileSystem::MemoryFileSystem(PathStyle style, std::string cwd)
    : style_(style)
    , cwd_(std::move(cwd))
{
    AddFolder(cwd_);
}

std::string MemoryFileSystem::Key(const std::string& path) const
{
    std::string key = AbsolutePath(path, cwd_, style_);
    if (style_ == PathStyle::Windows) {
        for (char& c : key)
            c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return key;
}

MemoryFileSystem::Node& MemoryFileSystem::Make(const std::string& path, bool folder)
{
    const std::string full = AbsolutePath(path, cwd_, style_);
    const std::string key = Key(full);
    auto found = nodes_.find(key);
    if (found != nodes_.end())
        return found->second;
    const std::string parent = ParentDirectory(full, style_);
    if (parent != full && parent != ".") {
        Node& folderNode = Make(parent, true);
        const size_t cut = full.find_last_of(style_ == PathStyle::Windows ? "\\/" : "/");
        folderNode.children.push_back(full.substr(cut + 1));
    }
    Node& node = nodes_[key];
    node.folder = folder;
    node.path = full;
    node.index = nextIndex_++;
    return node;
}

void MemoryFileSystem::AddFile(const std::string& path, const std::string& content)
{
    Make(path, false).content = content;
}

std::string MemoryFileSystem::AddFolder(const std::string& path)
{
    return Make(path, true).path;
}

void MemoryFileSystem::AddFolderLink(const std::string& path, const std::string& target)
{
    Make(path, true).linkTo = Key(target);
}

void MemoryFileSystem::MakeUnlistable(const std::string& path)
{
    Make(path, true).unlistable = true;
}

void MemoryFileSystem::FailListingAfter(const std::string& path, size_t count)
{
    Make(path, true).failAfter = count;
}

void MemoryFileSystem::FailExamining(const std::string& path, Failure failure)
{
    auto found = nodes_.find(Key(path));
    if (found != nodes_.end())
        found->second.examineFailure = failure;
}

void MemoryFileSystem::ListTwice(const std::string& path)
{
    Make(path, true).listedTwice = true;
}

MemoryFileSystem::Node* MemoryFileSystem::Find(const std::string& path)
{
    auto found = nodes_.find(Key(path));
    if (found == nodes_.end())
        return nullptr;
    Node* node = &found->second;
    for (int hops = 0; !node->linkTo.empty() && hops < 40; ++hops) {
        auto target = nodes_.find(node->linkTo);
        if (target == nodes_.end())
            return nullptr;
        node = &target->second;
    }
    return node;
}

std::string MemoryFileSystem::Content(const std::string& path) const
{
    auto found = nodes_.find(Key(path));
    return found == nodes_.end() || found->second.folder ? "<fehlt>" : found->second.content;
}

OrFailure<std::string> MemoryFileSystem::RealPath(const std::string& path)
{
    const Node* node = Find(path);
    if (node == nullptr)
        return Failure { FailureKind::NotFound, 0 };
    return node->path;
}

PathStatus MemoryFileSystem::Examine(const std::string& path)
{
    const Node* node = Find(path);
    if (node == nullptr)
        return { PathKind::Missing, { FailureKind::NotFound, 0 } };
    return { node->folder ? PathKind::Folder : PathKind::File, {} };
}

OrFailure<FileId> MemoryFileSystem::Identify(const std::string& path)
{
    const Node* node = Find(path);
    if (node == nullptr)
        return Failure { FailureKind::NotFound, 0 };
    return FileId { 1, node->index };
}

bool MemoryFileSystem::CanCreateIn(const std::string& folder)
{
    const Node* node = Find(folder);
    return node != nullptr && node->folder;
}

OrFailure<OpenedFile> MemoryFileSystem::OpenRegular(const std::string& path)
{
    const Node* node = Find(path);
    if (node == nullptr)
        return Failure { FailureKind::NotFound, 0 };
    if (node->folder)
        return Failure { FailureKind::IsFolder, 0 };
    return OpenedFile { std::make_unique<MemoryInputFile>(node->content), { 1, node->index } };
}

Failure MemoryFileSystem::ReadWhole(const std::string& path, std::string& content)
{
    const Node* node = Find(path);
    if (node == nullptr)
        return { FailureKind::NotFound, 0 };
    if (node->folder)
        return { FailureKind::IsFolder, 0 };
    content = node->content;
    return {};
}

Failure MemoryFileSystem::ListFolder(
    const std::string& path, std::vector<FolderEntry>& entries, FileId* id)
{
    const Node* node = Find(path);
    if (node == nullptr)
        return { FailureKind::NotFound, 0 };
    if (node->unlistable)
        return { FailureKind::NoPermission, 0 };
    if (id != nullptr)
        *id = FileId { 1, sameFolderIds ? 1 : node->index };
    size_t listed = 0;
    for (const std::string& name : node->children) {
        for (int copy = 0; copy < (node->listedTwice ? 2 : 1); ++copy) {
            if (listed++ == node->failAfter)
                return { FailureKind::InputOutput, 0 };
            const std::string path = JoinPath(node->path, name, style_);
            const Failure failure = nodes_.at(Key(path)).examineFailure;
            const Node* child = failure ? nullptr : Find(path);
            entries.push_back({ name, child != nullptr && child->folder, name[0] == '.', failure });
        }
    }
    return {};
}

StoreResult MemoryFileSystem::Replace(const std::string& path, std::string_view content)
{
    const Node* folder = Find(ParentDirectory(AbsolutePath(path, cwd_, style_), style_));
    if (folder == nullptr || !folder->folder)
        return StoreResult::SystemError(2); // as ENOENT and ERROR_FILE_NOT_FOUND
    AddFile(path, std::string(content));
    return {};
}

} // namespace tovaro::test
