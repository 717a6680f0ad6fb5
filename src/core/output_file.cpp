#include "output_file.h"

#include "error_text.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tovaro {

const char* const kForeignLinkReason
    = "Die Ausgabedatei ist eine Verknüpfung, die einem anderen Benutzer gehört.";
const char* const kNotRegularReason
    = "Die Ausgabedatei ist keine gewöhnliche Datei (ein Gerät, eine Pipe oder ein Socket).";
const char* const kFolderNameReason
    = "Der Name endet mit \"/\" und bezeichnet einen Ordner, keine Datei.";

namespace {

// The temporary file while it has a name, for the signal handlers.
char gTempPath[PATH_MAX];
volatile std::sig_atomic_t gTempNamed = 0;

extern "C" void RemoveTemporaryAndStop(int sig)
{
    if (gTempNamed != 0)
        ::unlink(gTempPath);
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

constexpr int kStopSignals[] = { SIGINT, SIGTERM, SIGHUP };

// While alive: an interruption removes the temporary file before the process ends, and a
// file-size limit makes the write fail (EFBIG) instead of killing the process.
class SignalGuard {
public:
    SignalGuard()
    {
        struct sigaction sa { };
        sa.sa_handler = RemoveTemporaryAndStop;
        ::sigemptyset(&sa.sa_mask);
        for (size_t i = 0; i < std::size(kStopSignals); ++i) {
            ::sigaction(kStopSignals[i], nullptr, &old_[i]);
            // A signal the process ignores stays ignored.
            if (old_[i].sa_handler != SIG_IGN)
                ::sigaction(kStopSignals[i], &sa, nullptr);
        }
        struct sigaction ignore { };
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGXFSZ, &ignore, &oldXfsz_);
    }
    ~SignalGuard()
    {
        for (size_t i = 0; i < std::size(kStopSignals); ++i)
            ::sigaction(kStopSignals[i], &old_[i], nullptr);
        ::sigaction(SIGXFSZ, &oldXfsz_, nullptr);
    }
    SignalGuard(const SignalGuard&) = delete;
    SignalGuard& operator=(const SignalGuard&) = delete;

private:
    struct sigaction old_[std::size(kStopSignals)] {};
    struct sigaction oldXfsz_ { };
};

// Blocks the stop signals, so that a temporary file gets its name and is registered for the
// handlers as one step.
class BlockStops {
public:
    BlockStops()
    {
        sigset_t set;
        ::sigemptyset(&set);
        for (int s : kStopSignals)
            ::sigaddset(&set, s);
        ::sigprocmask(SIG_BLOCK, &set, &old_);
    }
    ~BlockStops() { ::sigprocmask(SIG_SETMASK, &old_, nullptr); }
    BlockStops(const BlockStops&) = delete;
    BlockStops& operator=(const BlockStops&) = delete;

private:
    sigset_t old_;
};

void Register(const std::string& temp)
{
    std::snprintf(gTempPath, sizeof gTempPath, "%s", temp.c_str());
    gTempNamed = 1;
}

void Unregister()
{
    gTempNamed = 0;
}

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

// Follows the links at `path` while each belongs to the running user or to root. A missing
// file is fine: the page creates it.
std::string ResolveTarget(const std::string& path, std::string& target)
{
    target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st { };
        if (::lstat(target.c_str(), &st) != 0)
            return errno == ENOENT ? std::string() : ErrorText(errno);
        if (!S_ISLNK(st.st_mode))
            return {};
        if (st.st_uid != ::geteuid() && st.st_uid != 0)
            return kForeignLinkReason;
        char buf[PATH_MAX];
        const ssize_t n = ::readlink(target.c_str(), buf, sizeof buf);
        if (n < 0)
            return ErrorText(errno);
        if (static_cast<size_t>(n) >= sizeof buf)
            return ErrorText(ENAMETOOLONG);
        std::string link(buf, static_cast<size_t>(n));
        target = !link.empty() && link[0] == '/' ? link : FolderOf(target) + link;
    }
    return ErrorText(ELOOP);
}

} // namespace

ssize_t AtomicFileStore::WriteSome(int fd, const char* data, size_t size)
{
    return ::write(fd, data, size);
}

std::string AtomicFileStore::WriteAndRename(const std::string& target, std::string_view content,
    mode_t mode, bool unnamed, bool& unsupported)
{
    unsupported = false;
    const std::string folder = FolderOf(target);
    std::string temp;
    int fd = -1;
    if (unnamed) {
        // A file without a name until it is complete: nothing to clean up if the run dies.
        fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (fd < 0) {
            unsupported = true; // not offered here: the caller tries a named one
            return {};
        }
    } else {
        BlockStops block;
        temp = TemporaryName(folder) + "-XXXXXX";
        fd = ::mkstemp(temp.data());
        if (fd < 0)
            return ErrorText(errno);
        Register(temp);
    }
    auto fail = [&](int err) {
        ::close(fd);
        if (!temp.empty()) {
            ::unlink(temp.c_str());
            Unregister();
        }
        return ErrorText(err);
    };

    // A search page is meant to be published: not the private mode of a temporary file.
    if (::fchmod(fd, mode) != 0)
        return fail(errno);
    const char* p = content.data();
    size_t left = content.size();
    while (left > 0) {
        const ssize_t n = WriteSome(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(n < 0 ? errno : ENOSPC);
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS)
        return fail(errno);

    if (unnamed) {
        // Give the complete file a name beside the page, then move it over the page.
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        BlockStops block;
        for (int attempt = 0;; ++attempt) {
            temp = TemporaryName(folder);
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) == 0)
                break;
            if (errno != EEXIST || attempt > 100) {
                const int err = errno;
                temp.clear();
                ::close(fd);
                unsupported = err == ENOENT; // no /proc: the caller tries a named one
                return ErrorText(err);
            }
        }
        Register(temp);
    }
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        Unregister();
        return ErrorText(err);
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        Unregister();
        return ErrorText(err);
    }
    Unregister();
    return {};
}

std::string AtomicFileStore::Replace(const std::string& requested, std::string_view content)
{
    if (requested.empty())
        return ErrorText(ENOENT);
    if (requested.back() == '/')
        return kFolderNameReason;
    std::string target;
    std::string reason = ResolveTarget(requested, target);
    if (!reason.empty())
        return reason;

    struct stat st { };
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        return ErrorText(EISDIR);
    if (exists && !S_ISREG(st.st_mode))
        return kNotRegularReason;
    if (!exists && errno != ENOENT)
        return ErrorText(errno);

    mode_t mode;
    if (exists) {
        mode = st.st_mode & 0777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    SignalGuard guard;
    bool unsupported = false;
    reason = WriteAndRename(target, content, mode, true, unsupported);
    if (unsupported)
        reason = WriteAndRename(target, content, mode, false, unsupported);
    return reason;
}

} // namespace tovaro
