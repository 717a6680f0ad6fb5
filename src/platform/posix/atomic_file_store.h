// Replacing the search page safely: the new page is written to a temporary file beside the
// output and renamed over it only when it is complete, so a failed run leaves the old page in
// place, and an interrupted one leaves no temporary file behind.
#pragma once

#include "platform/file_system.h"

#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace tovaro {

/// The process's current folder ("/" where it cannot be told).
std::string ProcessCurrentDirectory();

/// Only a regular file, or a new name, is replaced; a folder, a device, a FIFO or a socket
/// never is. Every link on the way to the page, the page's own name included, is followed only
/// when it belongs to the running user or to root; a link to a missing file creates its
/// target. The page is replaced as a new file (other hard links keep the old page) with the
/// old page's permission bits, less setuid, setgid and sticky, or 0666 less the umask; it keeps
/// the old page's owner (as root) and group (where the user may set it).
class AtomicFileStore {
public:
    virtual ~AtomicFileStore() = default;
    StoreResult Replace(const std::string& path, std::string_view content);

protected:
    /// One write call; tests override it to make a write fail half-way.
    virtual ssize_t WriteSome(int fd, const char* data, size_t size);
    /// A file without a name in `folder`, or -1 where the file system offers none.
    virtual int OpenUnnamed(const std::string& folder);
    /// Called when the temporary file has got its name beside the page; tests send a signal
    /// there.
    virtual void Named();

private:
    struct Owner {
        bool keep = false;
        uid_t uid = 0;
        gid_t gid = 0;
    };
    StoreResult WriteAndRename(const std::string& target, std::string_view content,
        std::optional<mode_t> mode, const Owner& owner, bool unnamed, bool& unsupported);
};

} // namespace tovaro
