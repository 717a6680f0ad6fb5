// Reading many files with several requests in flight: on a network share or a cold disk every
// file costs a round trip, so a small pool of threads reads ahead of the one that uses the
// results, which still takes them in the list's order.
#pragma once

#include "extract.h"
#include "platform/file_system.h"

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tovaro {

/// How many reads or listings are in flight at most.
constexpr size_t kRequestsInFlight = 24;

/// The heads of a file list, read ahead on a few threads and taken in the list's order. At
/// most `window` results wait at any time, so memory is bounded by the requests in flight and
/// not by the length of the list. Where no thread can be started, each head is read when it is
/// taken, as one file after the other.
class HeadReadAhead {
public:
    HeadReadAhead(const std::vector<std::string>& files, const FileId* skip,
        size_t threads = kRequestsInFlight, size_t window = 2 * kRequestsInFlight);
    ~HeadReadAhead();
    HeadReadAhead(const HeadReadAhead&) = delete;
    HeadReadAhead& operator=(const HeadReadAhead&) = delete;

    /// The head of file `index`; indices are taken in order, each once. What a read threw
    /// (out of memory) is thrown here.
    ReadResult Take(size_t index);

private:
    struct Slot {
        bool ready = false;
        ReadResult result;
        std::exception_ptr error;
    };
    void Work();

    const std::vector<std::string>& files_;
    const FileId* skip_;
    std::vector<Slot> slots_; // file i waits in slot i % size
    std::mutex mutex_;
    std::condition_variable readyChanged_;
    std::condition_variable roomChanged_;
    size_t next_ = 0; // the next file a reader takes on
    size_t taken_ = 0; // files handed out by Take
    bool stopping_ = false;
    std::vector<std::thread> readers_;
};

/// Folder listings asked for ahead of the search that uses them: each listing runs on one of a
/// few threads, and Take waits for the one it needs.
class ListingReadAhead {
public:
    struct Listing {
        std::string error;
        std::vector<FolderEntry> entries;
        FileId id;
    };

    ListingReadAhead()
        : ListingReadAhead(kRequestsInFlight)
    {
    }
    explicit ListingReadAhead(size_t threads);
    ~ListingReadAhead();
    ListingReadAhead(const ListingReadAhead&) = delete;
    ListingReadAhead& operator=(const ListingReadAhead&) = delete;

    /// Starts listing `folder` unless that is already asked for.
    void Ask(const std::string& folder);
    /// The listing of `folder` (asked for first if need be); each folder is taken once.
    Listing Take(const std::string& folder);

private:
    struct Pending {
        bool ready = false;
        Listing listing;
        std::exception_ptr error;
    };
    void Work();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> queue_; // folders not yet started, the next at the back
    std::map<std::string, Pending> pending_;
    bool stopping_ = false;
    std::vector<std::thread> listers_;
};

} // namespace tovaro
