#pragma once

#include "../../core/test_util.h"
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

/// The real disk, with the page replaced through `store`.
class DiskWithStore : public ForwardingFileSystem {
public:
    explicit DiskWithStore(AtomicFileStore& store)
        : ForwardingFileSystem(NativeDisk())
        , store_(store)
    {
    }
    StoreResult Replace(const std::string& path, std::string_view content) override
    {
        return store_.Replace(path, content);
    }

private:
    AtomicFileStore& store_;
};

} // namespace tovaro::test
