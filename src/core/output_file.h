// Replacing the search page safely: the new page is written to a temporary file beside the
// output and renamed over it only when it is complete, so a failed run leaves the old page in
// place, and an interrupted one leaves no temporary file behind.
#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>

namespace tovaro {

class PageStore {
public:
    virtual ~PageStore() = default;
    /// Replaces the file at `path` with `content`. Returns an empty text on success, otherwise
    /// the reason in German.
    virtual std::string Replace(const std::string& path, std::string_view content) = 0;
};

/// Only a regular file, or a new name, is replaced; a folder, a device, a FIFO or a socket
/// never is. A link is followed to its target (which is created when missing) only when the
/// link belongs to the running user or to root. The new page gets the old page's permissions,
/// without setuid, setgid or sticky bits, or 0666 less the umask.
class AtomicFileStore : public PageStore {
public:
    std::string Replace(const std::string& path, std::string_view content) override;

protected:
    /// One write call; tests override it to make a write fail half-way.
    virtual ssize_t WriteSome(int fd, const char* data, size_t size);

private:
    std::string WriteAndRename(const std::string& target, std::string_view content, mode_t mode,
        bool unnamed, bool& unsupported);
};

extern const char* const kForeignLinkReason;
extern const char* const kNotRegularReason;
extern const char* const kFolderNameReason;

} // namespace tovaro
