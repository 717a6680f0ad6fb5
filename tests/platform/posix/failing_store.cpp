#include "failing_store.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace tovaro::test {

FailingWriteStore::FailingWriteStore(size_t allowed, int error, int signal)
    : allowed_(allowed)
    , error_(error)
    , signal_(signal)
{
}

ssize_t FailingWriteStore::WriteSome(int fd, const char* data, size_t size)
{
    if (written_ >= allowed_) {
        if (signal_ != 0)
            ::kill(::getpid(), signal_);
        errno = signal_ != 0 ? EINTR : error_;
        return -1;
    }
    const ssize_t n = ::write(fd, data, std::min(size, allowed_ - written_));
    if (n > 0)
        written_ += static_cast<size_t>(n);
    return n;
}

} // namespace tovaro::test
