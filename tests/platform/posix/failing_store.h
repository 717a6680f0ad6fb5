#pragma once

#include "platform/posix/atomic_file_store.h"

namespace tovaro::test {

/// The safe page store with a write that fails once `allowed` bytes are written: with `error`
/// as a full disk or a broken device would, or by raising `signal` (the user interrupting).
class FailingWriteStore : public AtomicFileStore {
public:
    FailingWriteStore(size_t allowed, int error, int signal = 0);

protected:
    ssize_t WriteSome(int fd, const char* data, size_t size) override;

private:
    size_t allowed_;
    int error_;
    int signal_;
    size_t written_ = 0;
};

} // namespace tovaro::test
