#include "output_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tovaro {

namespace {

std::string Reason(int err)
{
    return std::strerror(err);
}

// The file that is to be replaced: a link is replaced at its target, not turned into a file.
std::string FinalTarget(const std::string& path)
{
    struct stat st { };
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved) != nullptr)
            return resolved;
    }
    return path;
}

} // namespace

ssize_t AtomicFileStore::WriteSome(int fd, const char* data, size_t size)
{
    return ::write(fd, data, size);
}

std::string AtomicFileStore::Replace(const std::string& requested, std::string_view content)
{
    if (requested.empty())
        return Reason(ENOENT);
    const std::string path = FinalTarget(requested);

    struct stat st { };
    bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        return Reason(EISDIR);

    size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty())
        return Reason(EISDIR);
    std::string temp = dir + "." + name + ".XXXXXX";

    int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return Reason(errno);

    // mkstemp makes the file private; a search page is meant to be published.
    mode_t mode;
    if (exists) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);

    const char* p = content.data();
    size_t left = content.size();
    while (left > 0) {
        ssize_t n = WriteSome(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            int err = n < 0 ? errno : ENOSPC;
            ::close(fd);
            ::unlink(temp.c_str());
            return Reason(err);
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) {
        int err = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        return Reason(err);
    }
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        return Reason(err);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        return Reason(err);
    }
    return {};
}

} // namespace tovaro
