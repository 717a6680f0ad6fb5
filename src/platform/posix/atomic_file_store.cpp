#include "atomic_file_store.h"

#include "platform/file_system.h"
#include "temporary_name.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tovaro {

namespace {

extern "C" void RemoveTemporaryAndStop(int sig)
{
    RemoveTemporaryFilesNow();
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

// A temporary file beside the page, with one owner: it is removed when the owner goes, unless it
// was renamed over the page. Its name is recorded before the call that creates it, and no lock
// is held across a call that may hang, so that a stop is served at once and removes it,
// whatever the share does.
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
    /// the error number. `named` runs once the file has its name.
    int CreateNamed(const std::string& name, const std::function<void()>& named)
    {
        return Name(name, named, [this, &name] {
            fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
            return fd_ >= 0;
        });
    }
    /// Gives the file without a name the name `path` (a link through /proc); returns 0 or the
    /// error number.
    int Link(const std::string& path, const std::function<void()>& named)
    {
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        return Name(path, named, [&self, &path] {
            return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
        });
    }
    /// Closes the file, then puts it in `target`'s place; returns 0 or the error number. It is
    /// kept only when both succeed.
    int CloseAndRename(const std::string& target)
    {
        const int closed = ::close(fd_);
        fd_ = -1;
        if (closed != 0)
            return errno;
        if (::rename(name_.c_str(), target.c_str()) != 0)
            return errno;
        ForgetTemporaryName(record_);
        record_ = -1;
        name_.clear();
        return 0;
    }

private:
    // Records `name`, then makes the file by `make`; returns 0 or the error number.
    template <typename Make>
    int Name(const std::string& name, const std::function<void()>& named, Make make)
    {
        const int record = RecordTemporaryName(name);
        if (record < 0)
            return EINTR; // the process is being stopped: nothing new is made
        MarkCreating(record, true);
        const bool made = make();
        const int err = errno;
        MarkCreating(record, false);
        if (!made) {
            ForgetTemporaryName(record);
            return err;
        }
        record_ = record;
        name_ = name;
        named();
        return 0;
    }

    void Discard()
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (!name_.empty()) {
            ::unlink(name_.c_str());
            ForgetTemporaryName(record_);
        }
    }

    int fd_ = -1;
    int record_ = -1;
    std::string name_;
};

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

// Removes the temporary files that runs which have ended left in `folder` (a run killed
// outright on a share without unnamed files, a share that created a file after the run had
// ended). Only names that are provably stale are touched; what fails is left as it is.
void RemoveStaleTemporaries(const std::string& folder)
{
    DIR* d = ::opendir(folder.c_str());
    if (d == nullptr)
        return;
    std::vector<std::string> stale;
    while (const dirent* e = ::readdir(d)) {
        if (std::strncmp(e->d_name, kTemporaryPrefix, sizeof kTemporaryPrefix - 1) == 0
            && IsStaleTemporaryName(e->d_name))
            stale.emplace_back(e->d_name);
    }
    ::closedir(d);
    for (const std::string& name : stale)
        ::unlink((folder + name).c_str());
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
        PushParts(ProcessCurrentDirectory(), parts, false);
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
            const int err = temp.CreateNamed(NewTemporaryName(folder), [this] { Named(); });
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
            const int err = temp.Link(NewTemporaryName(folder), [this] { Named(); });
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
    if (result.Ok())
        RemoveStaleTemporaries(FolderOf(target));
    return result;
}

} // namespace tovaro
