// Where the generation run puts the finished search page.
#pragma once

#include "platform/file_system.h"

#include <string>
#include <string_view>

namespace tovaro {

class PageStore {
public:
    virtual ~PageStore() = default;
    /// Replaces the file at `path` with `content`.
    virtual StoreResult Replace(const std::string& path, std::string_view content) = 0;
};

/// The page replaced on the file system as one step, so that a failed run keeps the old page.
class DiskPageStore : public PageStore {
public:
    StoreResult Replace(const std::string& path, std::string_view content) override
    {
        return Disk().Replace(path, content);
    }
};

} // namespace tovaro
