// The file system of Linux and other POSIX systems.
#include "platform/file_system.h"

#include "atomic_file_store.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
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

class PosixInputFile : public InputFile {
public:
    explicit PosixInputFile(int fd)
        : fd_(fd)
    {
    }
    ~PosixInputFile() override { ::close(fd_); }
    PosixInputFile(const PosixInputFile&) = delete;
    PosixInputFile& operator=(const PosixInputFile&) = delete;

    long long Read(char* buffer, size_t size) override
    {
        for (;;) {
            const ssize_t n = ::read(fd_, buffer, size);
            if (n >= 0 || errno != EINTR)
                return n;
        }
    }

private:
    int fd_;
};

// Whether an entry is a folder; a link is followed, and a dangling link is a file.
bool IsFolderEntry(const std::string& dir, const dirent* d)
{
    if (d->d_type == DT_DIR)
        return true;
    if (d->d_type != DT_LNK && d->d_type != DT_UNKNOWN)
        return false;
    struct stat st { };
    std::string full = dir;
    if (full.empty() || full.back() != '/')
        full.push_back('/');
    full += d->d_name;
    return ::stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

class PosixFileSystem : public FileSystem {
public:
    PathStyle Style() const override { return PathStyle::Posix; }

    std::string CurrentDirectory() override
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

    std::string RealPath(const std::string& path) override
    {
        char* real = ::realpath(path.c_str(), nullptr);
        if (real == nullptr)
            return {};
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

    std::optional<FileId> Identify(const std::string& path) override
    {
        struct stat st { };
        if (::stat(path.c_str(), &st) != 0)
            return std::nullopt;
        return IdOf(st);
    }

    bool CanCreateIn(const std::string& folder) override
    {
        return ::access(folder.c_str(), W_OK) == 0;
    }

    std::unique_ptr<InputFile> OpenRegular(const std::string& path, FileId* id) override
    {
        // Non-blocking, so that opening a FIFO or a terminal never waits.
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0)
            return nullptr;
        // Only a regular file is read at all: what a FIFO or a device yields depends on timing.
        struct stat st { };
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            return nullptr;
        }
        if (id != nullptr)
            *id = IdOf(st);
        return std::make_unique<PosixInputFile>(fd);
    }

    bool ReadWhole(const std::string& path, std::string& content) override
    {
        // Blocking: a list may come through a pipe (`--files-from <(find ...)`), read to its end.
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
        if (fd < 0)
            return false;
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
                const bool ok = n == 0;
                ::close(fd);
                content.resize(used);
                return ok;
            }
            used += static_cast<size_t>(n);
            room = std::max<size_t>(room, used); // a pipe: grow by doubling
        }
    }

    Failure ListFolder(
        const std::string& path, std::vector<FolderEntry>& entries, FileId* id) override
    {
        DIR* d = ::opendir(path.c_str());
        if (d == nullptr)
            return SystemFailure(errno);
        if (id != nullptr) {
            struct stat st { };
            if (::fstat(::dirfd(d), &st) != 0) {
                const int err = errno;
                ::closedir(d);
                return SystemFailure(err);
            }
            *id = IdOf(st);
        }
        // readdir returns null both at the end and on a failure; only errno tells them apart.
        // A failure in the middle (a share that drops, a folder removed meanwhile) leaves the
        // entries read so far, and the caller hears why the rest is missing.
        for (;;) {
            errno = 0;
            const dirent* e = ::readdir(d);
            if (e == nullptr)
                break;
            const char* n = e->d_name;
            if (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0')))
                continue;
            entries.push_back({ n, IsFolderEntry(path, e) });
        }
        const int end = errno;
        ::closedir(d);
        return end == 0 ? Failure {} : SystemFailure(end);
    }

    StoreResult Replace(const std::string& path, std::string_view content) override
    {
        AtomicFileStore store;
        return store.Replace(path, content);
    }
};

} // namespace

FileSystem& NativeFileSystem()
{
    static PosixFileSystem native;
    return native;
}

} // namespace tovaro
