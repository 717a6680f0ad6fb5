#include "read_ahead.h"

#include <algorithm>
#include <system_error>

namespace tovaro {

size_t LocalReaders()
{
    const size_t cores = std::thread::hardware_concurrency();
    return cores < 2 ? 0 : std::min<size_t>(cores, 4);
}

namespace {

// The files read and timed one after the other before the local readers may start, and how many
// must be left for them to pay.
constexpr size_t kLocalFrom = 64;
constexpr size_t kLocalAtLeast = 8 * kLocalBatch;

} // namespace

HeadReadAhead::HeadReadAhead(FileSystem& disk, const std::vector<std::string>& files,
    const FileId* skip, size_t threads, size_t window, size_t localThreads)
    : disk_(disk)
    , files_(files)
    , skip_(skip)
    , threads_(threads)
    , localThreads_(localThreads)
    , probe_(std::chrono::microseconds(100))
    , slots_(std::max<size_t>(window, 1))
{
}

void HeadReadAhead::StartReaders(size_t from, size_t count, size_t batch)
{
    if (!started_) {
        started_ = true;
        next_ = from;
        taken_ = from;
        // A batch must fit the window, with room for a second reader's.
        batch_ = std::max<size_t>(1, std::min(batch, slots_.size() / 2));
    }
    readers_.Start(std::min(count, files_.size() - from), [this] { Work(); });
}

HeadReadAhead::~HeadReadAhead()
{
    readers_.Stop(mutex_, stopping_, roomChanged_);
}

void HeadReadAhead::Work()
{
    using Clock = std::chrono::steady_clock;
    std::vector<Slot> done;
    std::vector<Clock::duration> timed;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        roomChanged_.wait(lock, [this] {
            return stopping_ || next_ >= files_.size()
                || next_ + std::min(batch_, files_.size() - next_) <= taken_ + slots_.size();
        });
        if (stopping_ || next_ >= files_.size())
            return;
        const size_t first = next_;
        const size_t count = std::min(batch_, files_.size() - next_);
        next_ += count;
        const bool timing = !slow_;
        lock.unlock();
        // Out of memory for the batch itself, every file of it carries the failure to the run's
        // thread: an exception must not end this thread, and the run waits for each file.
        std::exception_ptr batchError;
        try {
            done.assign(count, Slot());
            timed.clear();
            timed.reserve(count);
        } catch (...) {
            batchError = std::current_exception();
        }
        for (size_t k = 0; k < count && !batchError; ++k) {
            const size_t index = first + k;
            const bool time = timing && LatencyProbe::Times(index);
            const Clock::time_point start = time ? Clock::now() : Clock::time_point();
            try {
                done[k].result = ReadPageFields(disk_, files_[index], skip_);
            } catch (...) {
                done[k].error = std::current_exception();
            }
            done[k].ready = true;
            if (time)
                timed.push_back(Clock::now() - start);
        }
        lock.lock();
        for (size_t k = 0; k < count; ++k) {
            Slot& slot = slots_[(first + k) % slots_.size()];
            if (batchError) {
                slot = Slot();
                slot.error = batchError;
                slot.ready = true;
            } else {
                slot = std::move(done[k]);
            }
        }
        for (Clock::duration took : timed) {
            if (!slow_ && probe_.Slow(took)) {
                slow_ = true; // one file at a time from now on; Take starts more readers
                batch_ = 1;
            }
        }
        readyChanged_.notify_one(); // only the one taking waits for it
    }
}

ReadResult HeadReadAhead::Take(size_t index)
{
    if (readers_.Empty()) {
        if (started_ || !LatencyProbe::Times(index))
            return ReadPageFields(disk_, files_[index], skip_);
        const auto start = std::chrono::steady_clock::now();
        ReadResult read = ReadPageFields(disk_, files_[index], skip_);
        if (probe_.Slow(std::chrono::steady_clock::now() - start)) {
            if (index + 1 < files_.size())
                StartReaders(index + 1, threads_, 1);
        } else if (index + 1 == kLocalFrom && files_.size() - kLocalFrom >= kLocalAtLeast
            && localThreads_ > 0) {
            StartReaders(kLocalFrom, localThreads_, kLocalBatch);
        }
        return read;
    }
    Slot slot;
    bool wantMore;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        Slot& waiting = slots_[index % slots_.size()];
        readyChanged_.wait(lock, [&waiting] { return waiting.ready; });
        slot = std::move(waiting);
        waiting = Slot();
        taken_ = index + 1;
        wantMore = slow_ && readers_.Count() < threads_ && !stopping_;
    }
    roomChanged_.notify_one(); // room for one more read
    if (wantMore && index + 1 < files_.size())
        StartReaders(index + 1, threads_ - readers_.Count(), 1);
    if (slot.error)
        std::rethrow_exception(slot.error);
    return std::move(slot.result);
}

ListingReadAhead::ListingReadAhead(FileSystem& disk, size_t threads)
    : disk_(disk)
    , threads_(threads)
    , probe_(std::chrono::microseconds(250))
{
}

ListingReadAhead::~ListingReadAhead()
{
    listers_.Stop(mutex_, stopping_, work_);
}

void ListingReadAhead::Ask(const std::string& folder)
{
    if (!started_) {
        askedEarly_.push_back(folder);
        return;
    }
    if (listers_.Empty())
        return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!pending_.emplace(folder, Pending()).second)
            return;
        queue_.push_back(folder);
    }
    work_.notify_one();
}

void ListingReadAhead::Work()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        work_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_)
            return;
        // The folder asked for last is the one the depth-first search needs soonest.
        const std::string folder = std::move(queue_.back());
        queue_.pop_back();
        lock.unlock();
        Pending done;
        try {
            done.listing = List(folder);
        } catch (...) {
            done.error = std::current_exception();
        }
        done.ready = true;
        lock.lock();
        pending_[folder] = std::move(done);
        ready_.notify_one(); // only the search waits for listings
    }
}

ListingReadAhead::Listing ListingReadAhead::List(const std::string& folder)
{
    Listing listing;
    listing.failure = disk_.ListFolder(folder, listing.entries, &listing.id);
    return listing;
}

void ListingReadAhead::AskEarlyFolders()
{
    std::vector<std::string> early = std::move(askedEarly_);
    askedEarly_ = {};
    for (const std::string& folder : early)
        Ask(folder);
}

ListingReadAhead::Listing ListingReadAhead::Take(const std::string& folder)
{
    Listing listing;
    if (listers_.Empty()) {
        if (!askedEarly_.empty() && askedEarly_.back() == folder)
            askedEarly_.pop_back();
        if (started_ || !LatencyProbe::Times(listed_++))
            return List(folder);
        const auto start = std::chrono::steady_clock::now();
        listing = List(folder);
        if (probe_.Slow(std::chrono::steady_clock::now() - start)) {
            started_ = true;
            listers_.Start(threads_, [this] { Work(); });
            AskEarlyFolders();
        }
        return listing;
    }
    Ask(folder);
    Pending done;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        auto it = pending_.find(folder);
        ready_.wait(lock, [&it] { return it->second.ready; });
        done = std::move(it->second);
        pending_.erase(it);
    }
    if (done.error)
        std::rethrow_exception(done.error);
    return std::move(done.listing);
}

} // namespace tovaro
