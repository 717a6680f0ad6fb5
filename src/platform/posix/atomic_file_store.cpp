#include "atomic_file_store.h"

#include "platform/file_system.h"
#include "temporary_name.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <deque>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <optional>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tovaro {

namespace {

extern "C" void RemoveTemporaryAndStop(int sig)
{
    RemoveTemporaryFileNow();
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

// The signals that end a process by default and can come from outside at any moment.
std::vector<int> AsynchronousStops()
{
    std::vector<int> s = { SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGALRM, SIGUSR1, SIGUSR2, SIGPIPE,
        SIGVTALRM, SIGPROF, SIGIO, SIGPWR, SIGXCPU, SIGSTKFLT, SIGABRT, SIGTRAP, SIGSYS };
    for (int rt = SIGRTMIN; rt <= SIGRTMAX; ++rt)
        s.push_back(rt);
    return s;
}

// Those, and the ones a fault raises, which also end the process.
const std::vector<int>& AllStops()
{
    static const std::vector<int> all = [] {
        std::vector<int> s = AsynchronousStops();
        for (int fault : { SIGSEGV, SIGBUS, SIGFPE, SIGILL })
            s.push_back(fault);
        return s;
    }();
    return all;
}

// While alive: any signal that would end the process removes the temporary file first, and a
// file-size limit makes the write fail (EFBIG) instead of killing the process. A signal that
// the process ignores or handles itself is left as it is.
class SignalGuard {
public:
    SignalGuard()
        : old_(AllStops().size())
    {
        struct sigaction sa { };
        sa.sa_handler = RemoveTemporaryAndStop;
        ::sigemptyset(&sa.sa_mask);
        const std::vector<int>& stops = AllStops();
        for (size_t i = 0; i < stops.size(); ++i) {
            ::sigaction(stops[i], nullptr, &old_[i]);
            if (old_[i].sa_handler == SIG_DFL && (old_[i].sa_flags & SA_SIGINFO) == 0)
                ::sigaction(stops[i], &sa, nullptr);
        }
        struct sigaction ignore { };
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGXFSZ, &ignore, &oldXfsz_);
    }
    ~SignalGuard()
    {
        const std::vector<int>& stops = AllStops();
        for (size_t i = 0; i < stops.size(); ++i)
            ::sigaction(stops[i], &old_[i], nullptr);
        ::sigaction(SIGXFSZ, &oldXfsz_, nullptr);
    }
    SignalGuard(const SignalGuard&) = delete;
    SignalGuard& operator=(const SignalGuard&) = delete;

private:
    std::vector<struct sigaction> old_;
    struct sigaction oldXfsz_ { };
};

// Blocks the signals from outside in this thread. Where the program handles them on a thread
// of their own, they are blocked here already; elsewhere (a program of one thread) this makes
// naming a temporary file and registering the name one step for the handlers.
class BlockStops {
public:
    BlockStops()
    {
        static const sigset_t set = [] {
            sigset_t s;
            ::sigemptyset(&s);
            for (int sig : AsynchronousStops())
                ::sigaddset(&s, sig);
            return s;
        }();
        ::pthread_sigmask(SIG_BLOCK, &set, &old_);
    }
    ~BlockStops() { ::pthread_sigmask(SIG_SETMASK, &old_, nullptr); }
    BlockStops(const BlockStops&) = delete;
    BlockStops& operator=(const BlockStops&) = delete;

private:
    sigset_t old_;
};

// A temporary file beside the page, with one owner: it is removed when the owner goes, unless it
// was renamed over the page. It gets its name, is renamed and removed under the temporary-name
// lock, with the name registered before it exists, so that whatever ends the process removes it.
class TempFile {
public:
    TempFile() = default;
    ~TempFile() { Discard(); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int fd() const { return fd_; }
    /// Takes a file without a name (O_TMPFILE).
    void Adopt(int fd) { fd_ = fd; }
    /// A new file named `name`, created as any new file is (0666 less the umask); returns 0 or
    /// the error number. `named` runs once the file has its name, before anything can end the
    /// process.
    int CreateNamed(const std::string& name, const std::function<void()>& named)
    {
        BlockStops block;
        auto lock = LockTemporaryName();
        RegisterTemporaryName(name);
        fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd_ < 0) {
            const int err = errno;
            ForgetTemporaryName();
            return err;
        }
        name_ = name;
        named();
        return 0;
    }
    /// Gives the file without a name the name `path` (a link through /proc); returns 0 or the
    /// error number.
    int Link(const std::string& path, const std::function<void()>& named)
    {
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        BlockStops block;
        auto lock = LockTemporaryName();
        RegisterTemporaryName(path);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            const int err = errno;
            ForgetTemporaryName();
            return err;
        }
        name_ = path;
        named();
        return 0;
    }
    /// Closes the file, then puts it in `target`'s place; returns 0 or the error number. It is
    /// kept only when both succeed.
    int CloseAndRename(const std::string& target)
    {
        const int closed = ::close(fd_);
        fd_ = -1;
        if (closed != 0)
            return errno;
        BlockStops block;
        auto lock = LockTemporaryName();
        if (::rename(name_.c_str(), target.c_str()) != 0)
            return errno;
        ForgetTemporaryName();
        name_.clear();
        return 0;
    }

private:
    void Discard()
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (!name_.empty()) {
            BlockStops block;
            auto lock = LockTemporaryName();
            ::unlink(name_.c_str());
            ForgetTemporaryName();
        }
    }

    int fd_ = -1;
    std::string name_;
};

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

// A short name, whatever the length of the page's own name, so that it always fits.
std::string TemporaryName(const std::string& folder)
{
    static std::atomic<unsigned> counter { 0 };
    char name[64];
    std::snprintf(name, sizeof name, ".tovaro-%ld-%u-%lx", static_cast<long>(::getpid()), counter++,
        static_cast<unsigned long>(std::time(nullptr)));
    return folder + name;
}

// The parts of a path between its separators.
void PushParts(std::string_view path, std::deque<std::string>& parts, bool front)
{
    std::vector<std::string> found;
    while (!path.empty()) {
        const size_t slash = path.find('/');
        const std::string_view part = path.substr(0, slash);
        if (!part.empty() && part != ".")
            found.emplace_back(part);
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
    }
    if (front)
        parts.insert(parts.begin(), found.begin(), found.end());
    else
        parts.insert(parts.end(), found.begin(), found.end());
}

// Resolves the links on the whole way to `path`, each only while it belongs to the running
// user or to root. Where a part is missing, the rest is taken as it stands: the write then
// creates the page, or fails on the missing folder.
StoreResult ResolveTarget(const std::string& path, std::string& target)
{
    std::deque<std::string> parts;
    if (path.front() != '/')
        PushParts(NativeFileSystem().CurrentDirectory(), parts, false);
    PushParts(path, parts, false);
    target = "/";
    int links = 0;
    while (!parts.empty()) {
        std::string part = std::move(parts.front());
        parts.pop_front();
        if (part == "..") {
            target = ParentDirectory(target, PathStyle::Posix);
            continue;
        }
        const std::string candidate = target == "/" ? "/" + part : target + "/" + part;
        struct stat st { };
        if (::lstat(candidate.c_str(), &st) != 0) {
            if (errno != ENOENT)
                return StoreResult::SystemError(errno);
            target = candidate;
            for (const std::string& rest : parts)
                target += "/" + rest;
            return {};
        }
        if (!S_ISLNK(st.st_mode)) {
            target = candidate;
            continue;
        }
        if (st.st_uid != ::geteuid() && st.st_uid != 0)
            return StoreResult::Failed(FailureKind::ForeignLink);
        if (++links > 40)
            return StoreResult::SystemError(ELOOP);
        char buf[PATH_MAX];
        const ssize_t n = ::readlink(candidate.c_str(), buf, sizeof buf);
        if (n < 0)
            return StoreResult::SystemError(errno);
        if (static_cast<size_t>(n) >= sizeof buf)
            return StoreResult::SystemError(ENAMETOOLONG);
        const std::string_view link(buf, static_cast<size_t>(n));
        if (!link.empty() && link.front() == '/')
            target = "/";
        PushParts(link, parts, true);
    }
    return {};
}

std::string GroupName(gid_t gid)
{
    std::vector<char> buf(16384);
    struct group entry { };
    struct group* found = nullptr;
    if (::getgrgid_r(gid, &entry, buf.data(), buf.size(), &found) == 0 && found != nullptr)
        return found->gr_name;
    return std::to_string(gid);
}

// Gives the new page the old page's owner where the user may set it: owner and group as
// root, the group where the user belongs to it. Returns the change where the group differs.
std::optional<GroupChange> KeepOwner(int fd, uid_t uid, gid_t gid)
{
    const bool root = ::geteuid() == 0;
    if (::fchown(fd, root ? uid : static_cast<uid_t>(-1), gid) == 0)
        return {};
    struct stat st { };
    if (::fstat(fd, &st) == 0 && st.st_gid == gid)
        return {};
    return GroupChange { GroupName(gid), GroupName(st.st_gid) };
}

} // namespace

void AtomicFileStore::Named() { }

ssize_t AtomicFileStore::WriteSome(int fd, const char* data, size_t size)
{
    return ::write(fd, data, size);
}

int AtomicFileStore::OpenUnnamed(const std::string& folder)
{
    return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
}

StoreResult AtomicFileStore::WriteAndRename(const std::string& target, std::string_view content,
    std::optional<mode_t> mode, const Owner& owner, bool unnamed, bool& unsupported)
{
    unsupported = false;
    const std::string folder = FolderOf(target);
    TempFile temp;
    if (unnamed) {
        // A file without a name until it is complete: nothing to clean up if the run dies.
        temp.Adopt(OpenUnnamed(folder));
        if (temp.fd() < 0) {
            unsupported = true; // not offered here: the caller tries a named one
            return {};
        }
    } else {
        for (int attempt = 0;; ++attempt) {
            const int err = temp.CreateNamed(TemporaryName(folder), [this] { Named(); });
            if (err == 0)
                break;
            if (err != EEXIST || attempt > 100)
                return StoreResult::SystemError(err);
        }
    }

    StoreResult result;
    if (owner.keep)
        result.groupChange = KeepOwner(temp.fd(), owner.uid, owner.gid);
    // The old page's permissions; a new page keeps those the system gave the new file.
    if (mode && ::fchmod(temp.fd(), *mode) != 0)
        return StoreResult::SystemError(errno);
    const char* p = content.data();
    size_t left = content.size();
    while (left > 0) {
        const ssize_t n = WriteSome(temp.fd(), p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return StoreResult::SystemError(n < 0 ? errno : ENOSPC);
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (::fsync(temp.fd()) != 0 && errno != EINVAL && errno != EROFS)
        return StoreResult::SystemError(errno);

    if (unnamed) {
        // Give the complete file a name beside the page, then move it over the page.
        for (int attempt = 0;; ++attempt) {
            const int err = temp.Link(TemporaryName(folder), [this] { Named(); });
            if (err == 0)
                break;
            if (err != EEXIST || attempt > 100) {
                unsupported = err == ENOENT; // no /proc: the caller tries a named one
                return StoreResult::SystemError(err);
            }
        }
    }
    if (const int err = temp.CloseAndRename(target))
        return StoreResult::SystemError(err);
    return result;
}

StoreResult AtomicFileStore::Replace(const std::string& requested, std::string_view content)
{
    if (requested.empty())
        return StoreResult::SystemError(ENOENT);
    if (requested.back() == '/')
        return StoreResult::Failed(FailureKind::FolderName);
    std::string target;
    StoreResult result = ResolveTarget(requested, target);
    if (!result.Ok())
        return result;

    struct stat st { };
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (!exists && errno != ENOENT)
        return StoreResult::SystemError(errno);
    if (exists && S_ISDIR(st.st_mode))
        return StoreResult::SystemError(EISDIR);
    if (exists && !S_ISREG(st.st_mode))
        return StoreResult::Failed(FailureKind::NotRegular);

    // A new page is created as any new file (0666 less the umask, or what a default ACL
    // says): reading the umask would mean changing it for every thread of the process.
    std::optional<mode_t> mode;
    Owner owner;
    if (exists) {
        mode = st.st_mode & 0777;
        owner = { true, st.st_uid, st.st_gid };
    }

    SignalGuard guard;
    bool unsupported = false;
    result = WriteAndRename(target, content, mode, owner, true, unsupported);
    if (unsupported)
        result = WriteAndRename(target, content, mode, owner, false, unsupported);
    return result;
}

} // namespace tovaro
