// The file system of Linux.
#include "platform/file_system.h"
#include "platform/standard_input.h"

#include "atomic_file_store.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tovaro {

namespace {

FileId IdOf(const struct stat& st)
{
    return { static_cast<unsigned long long>(st.st_dev),
        static_cast<unsigned long long>(st.st_ino) };
}

class Descriptor {
public:
    explicit Descriptor(int fd)
        : fd_(fd)
    {
    }
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

class PosixInputFile : public InputFile {
public:
    explicit PosixInputFile(int fd)
        : fd_(fd)
    {
    }
    ~PosixInputFile() override { ::close(fd_); }
    PosixInputFile(const PosixInputFile&) = delete;
    PosixInputFile& operator=(const PosixInputFile&) = delete;

    OrFailure<size_t> Read(char* buffer, size_t size) override
    {
        for (;;) {
            const ssize_t n = ::read(fd_, buffer, size);
            if (n >= 0)
                return static_cast<size_t>(n);
            if (errno != EINTR)
                return SystemFailure(errno);
        }
    }

private:
    int fd_;
};

// What an entry of a listing is, when the listing does not say (a link, or a file system that
// gives no entry types): the entry is examined, a link followed. Only a link that leads nowhere
// is taken for "not a folder" without a failure; any other failure to examine it is reported,
// since the entry may be a folder whose pages would otherwise be missing without a word.
void ExamineEntry(int dirFd, FolderEntry& entry)
{
    struct stat st { };
    if (::fstatat(dirFd, entry.name.c_str(), &st, 0) == 0) {
        entry.isFolder = S_ISDIR(st.st_mode);
        return;
    }
    const int err = errno;
    struct stat link { };
    if (err == ENOENT && ::fstatat(dirFd, entry.name.c_str(), &link, AT_SYMLINK_NOFOLLOW) == 0
        && S_ISLNK(link.st_mode))
        return; // a link to nowhere
    entry.failure = SystemFailure(err);
}

// The records of the getdents64 system call, as the kernel lays them out.
struct Dirent64 {
    std::uint64_t ino;
    std::int64_t off;
    unsigned short reclen;
    unsigned char type;
    char name[1];
};

class PosixFileSystem : public FileSystem {
public:
    PathStyle Style() const override { return PathStyle::Posix; }

    std::string CurrentDirectory() override { return ProcessCurrentDirectory(); }

    OrFailure<std::string> RealPath(const std::string& path) override
    {
        char* real = ::realpath(path.c_str(), nullptr);
        if (real == nullptr)
            return SystemFailure(errno);
        std::string out(real);
        std::free(real);
        return out;
    }

    PathStatus Examine(const std::string& path) override
    {
        PathStatus status;
        struct stat st { };
        if (::stat(path.c_str(), &st) != 0) {
            status.failure = SystemFailure(errno);
            return status;
        }
        status.kind = S_ISDIR(st.st_mode) ? PathKind::Folder
            : S_ISREG(st.st_mode)         ? PathKind::File
                                          : PathKind::Other;
        return status;
    }

    OrFailure<FileId> Identify(const std::string& path) override
    {
        struct stat st { };
        if (::stat(path.c_str(), &st) != 0)
            return SystemFailure(errno);
        return IdOf(st);
    }

    bool CanCreateIn(const std::string& folder) override
    {
        return ::access(folder.c_str(), W_OK) == 0;
    }

    OrFailure<OpenedFile> OpenRegular(const std::string& path) override
    {
        // Non-blocking, so that opening a FIFO or a terminal never waits.
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0)
            return SystemFailure(errno);
        // Only a regular file is read at all: what a FIFO or a device yields depends on timing.
        struct stat st { };
        if (::fstat(fd, &st) != 0) {
            const int err = errno;
            ::close(fd);
            return SystemFailure(err);
        }
        if (!S_ISREG(st.st_mode)) {
            ::close(fd);
            return Failure { S_ISDIR(st.st_mode) ? FailureKind::IsFolder : FailureKind::NotAFile,
                0 };
        }
        return OpenedFile { std::make_unique<PosixInputFile>(fd), IdOf(st) };
    }

    Failure ReadWhole(const std::string& path, std::string& content) override
    {
        // Blocking: a list may come through a pipe (`--files-from <(find ...)`), read to its end.
        Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
        if (fd.get() < 0)
            return SystemFailure(errno);
        return ReadToEnd(fd.get(), content);
    }

    Failure ListFolder(
        const std::string& path, std::vector<FolderEntry>& entries, FileId* id) override
    {
        Descriptor dir(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (dir.get() < 0)
            return SystemFailure(errno);
        if (id != nullptr) {
            struct stat st { };
            if (::fstat(dir.get(), &st) != 0)
                return SystemFailure(errno);
            *id = IdOf(st);
        }
        // The system call itself rather than readdir: glibc's readdir takes an ENOENT from the
        // kernel (a share that fails the listing so, a folder removed meanwhile) for the end of
        // the listing. A failure in the middle leaves the entries read so far, and the caller
        // hears why the rest is missing.
        alignas(Dirent64) static thread_local char buffer[32 * 1024];
        for (;;) {
            const ssize_t n = ::getdents64(dir.get(), buffer, sizeof buffer);
            if (n == 0)
                return {};
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return SystemFailure(errno);
            }
            for (ssize_t at = 0; at < n;) {
                const auto* d = reinterpret_cast<const Dirent64*>(buffer + at);
                at += d->reclen;
                const char* name = d->name;
                if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
                    continue;
                FolderEntry& entry = entries.emplace_back();
                entry.name = name;
                entry.isFolder = d->type == DT_DIR;
                entry.hidden = name[0] == '.';
                if (d->type == DT_LNK || d->type == DT_UNKNOWN)
                    ExamineEntry(dir.get(), entry);
            }
        }
    }

    StoreResult Replace(const std::string& path, std::string_view content) override
    {
        AtomicFileStore store;
        return store.Replace(path, content);
    }

    /// Everything `fd` gives until its end.
    static Failure ReadToEnd(int fd, std::string& content)
    {
        struct stat st { };
        size_t room = 64 * 1024;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
            room = static_cast<size_t>(st.st_size) + 1; // one more, to see the end at once
        content.clear();
        size_t used = 0;
        for (;;) {
            if (used == content.size())
                content.resize(used + room);
            const ssize_t n = ::read(fd, content.data() + used, content.size() - used);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                const Failure failure = n == 0 ? Failure {} : SystemFailure(errno);
                content.resize(used);
                return failure;
            }
            used += static_cast<size_t>(n);
            room = std::max<size_t>(room, used); // a pipe: grow by doubling
        }
    }
};

} // namespace

std::string ProcessCurrentDirectory()
{
    std::string buf(PATH_MAX, '\0');
    for (;;) {
        if (::getcwd(buf.data(), buf.size()) != nullptr)
            return buf.c_str();
        if (errno != ERANGE || buf.size() > (1 << 20))
            return "/";
        buf.resize(buf.size() * 2);
    }
}

std::unique_ptr<FileSystem> MakeNativeFileSystem()
{
    return std::make_unique<PosixFileSystem>();
}

Failure ReadStandardInput(std::string& content)
{
    return PosixFileSystem::ReadToEnd(STDIN_FILENO, content);
}

} // namespace tovaro
