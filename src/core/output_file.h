// Replacing the search page safely: the new page goes to a temporary file beside the output and
// is renamed over it only when it is complete, so a failed run leaves the old page in place.
#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>

namespace tovaro {

class PageStore {
public:
    virtual ~PageStore() = default;
    /// Replaces the file at `path` with `content`. Returns an empty text on success, otherwise
    /// the system's reason.
    virtual std::string Replace(const std::string& path, std::string_view content) = 0;
};

class AtomicFileStore : public PageStore {
public:
    std::string Replace(const std::string& path, std::string_view content) override;

protected:
    /// One write call; tests override it to make a write fail half-way.
    virtual ssize_t WriteSome(int fd, const char* data, size_t size);
};

} // namespace tovaro
