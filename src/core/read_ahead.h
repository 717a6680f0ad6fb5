// Reading many files with several requests in flight: on a network share or a cold disk every
// file costs a round trip, so a small pool of threads reads ahead of the one that uses the
// results, which still takes them in the list's order.
#pragma once

#include "head_scan.h"
#include "platform/file_system.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace tovaro {

/// How many reads or listings are in flight at most.
constexpr size_t kRequestsInFlight = 24;

/// Tells when requests made one after the other wait rather than work: when the middle one of
/// eight timed requests took longer than `slow`. On a warm local disk a head takes a few
/// microseconds and threads would only cost; on a share or a cold disk it takes milliseconds.
/// The middle value, not the mean, so that the first requests of a process (page faults, a
/// first lookup of a folder) do not start threads on a local disk. Every request is timed at
/// first, then every eighth, so that a share reached later in the list is still noticed.
class LatencyProbe {
public:
    explicit LatencyProbe(std::chrono::microseconds slow)
        : slow_(slow)
    {
    }
    /// Whether request number `count` (from 0) is to be timed.
    static bool Times(size_t count) { return count < kTimedFirst || count % kSample == 0; }
    /// Adds one timed request's time; true once reading ahead pays.
    bool Slow(std::chrono::steady_clock::duration took)
    {
        window_[taken_++ % kSample] = took;
        if (taken_ % kSample != 0)
            return false;
        std::array<std::chrono::steady_clock::duration, kSample> sorted = window_;
        std::nth_element(sorted.begin(), sorted.begin() + kSample / 2, sorted.end());
        return sorted[kSample / 2] > slow_;
    }

private:
    static constexpr size_t kSample = 8;
    static constexpr size_t kTimedFirst = 64;
    std::chrono::steady_clock::duration slow_;
    std::array<std::chrono::steady_clock::duration, kSample> window_ {};
    size_t taken_ = 0;
};

/// Threads that each run their owner's loop until the owner stops them. Started, counted,
/// stopped and joined by the owner's own thread only.
class WorkerThreads {
public:
    /// Starts up to `count` threads running `loop`; fewer (none) where the system gives no more.
    template <typename Loop> void Start(size_t count, Loop loop)
    {
        try {
            for (size_t i = 0; i < count; ++i)
                threads_.emplace_back(loop);
        } catch (const std::system_error&) {
        }
    }
    size_t Count() const { return threads_.size(); }
    bool Empty() const { return threads_.empty(); }
    /// Sets `stopping` under `mutex`, wakes every thread that waits on `wake`, and joins them.
    void Stop(std::mutex& mutex, bool& stopping, std::condition_variable& wake)
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            stopping = true;
        }
        wake.notify_all();
        for (std::thread& t : threads_)
            t.join();
        threads_.clear();
    }

private:
    std::vector<std::thread> threads_;
};

/// How many heads a reader takes on at once on a fast disk: handing each one over on its own
/// would cost more than reading it.
constexpr size_t kLocalBatch = 16;

/// How many readers pay on a fast disk: one a core, the taking thread's core included, as the
/// reads themselves are mostly system time; none on one core.
size_t LocalReaders();

/// The heads of a file list, taken in the list's order. The first are read one after the other
/// and timed. When the reads turn out slow (a share, a cold disk), `threads` readers read ahead,
/// one file each at a time, so that many requests are in flight; when they are fast, and enough
/// of the list is left, `localThreads` readers read ahead in batches of `kLocalBatch`, so that
/// the reads' system time is spread over the cores. The local readers go on timing every eighth
/// read and call the others in when the reads turn slow. At most `window` results wait at any
/// time, so memory is bounded by the requests in flight and not by the length of the list.
/// Where no thread can be started, reading goes on one file after the other.
class HeadReadAhead {
public:
    HeadReadAhead(FileSystem& disk, const std::vector<std::string>& files, const FileId* skip,
        size_t threads = kRequestsInFlight, size_t window = 2 * kRequestsInFlight,
        size_t localThreads = LocalReaders());
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
    void StartReaders(size_t from, size_t count, size_t batch);

    FileSystem& disk_;
    const std::vector<std::string>& files_;
    const FileId* skip_;
    size_t threads_;
    size_t localThreads_;
    LatencyProbe probe_; // guarded by mutex_ once readers run
    bool started_ = false;
    std::vector<Slot> slots_; // file i waits in slot i % size
    std::mutex mutex_;
    std::condition_variable readyChanged_;
    std::condition_variable roomChanged_;
    size_t next_ = 0; // the next file a reader takes on
    size_t taken_ = 0; // files handed out by Take
    size_t batch_ = 1; // files a reader takes on at once
    bool slow_ = false; // the local readers found the reads slow
    bool stopping_ = false;
    WorkerThreads readers_;
};

/// Folder listings asked for ahead of the search that uses them, once listings turn out slow:
/// each then runs on one of a few threads, and Take waits for the one it needs.
class ListingReadAhead {
public:
    struct Listing {
        Failure failure;
        std::vector<FolderEntry> entries;
        FileId id;
    };

    explicit ListingReadAhead(FileSystem& disk, size_t threads = kRequestsInFlight);
    ~ListingReadAhead();
    ListingReadAhead(const ListingReadAhead&) = delete;
    ListingReadAhead& operator=(const ListingReadAhead&) = delete;

    /// Starts listing `folder` unless that is already asked for; before listings turn out
    /// slow, notes it for when they do.
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
    void AskEarlyFolders();
    Listing List(const std::string& folder);

    FileSystem& disk_;
    size_t threads_;
    LatencyProbe probe_;
    size_t listed_ = 0; // listings taken one after the other
    bool started_ = false;
    std::mutex mutex_;
    std::condition_variable work_; // a folder was asked for, or the listers stop
    std::condition_variable ready_; // a listing is there
    std::vector<std::string> queue_; // folders not yet started, the next at the back
    std::map<std::string, Pending> pending_;
    // Before the listers start: the folders asked for and not yet taken. A depth-first search
    // takes them from the back, so this is its stack of folders still to search; when the
    // listers start, all of it is queued, so that the siblings of a wide folder are listed
    // ahead too, not only the folders found later.
    std::vector<std::string> askedEarly_;
    bool stopping_ = false;
    WorkerThreads listers_;
};

} // namespace tovaro
