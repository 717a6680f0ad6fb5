#include "read_ahead.h"

#include <algorithm>
#include <system_error>

namespace tovaro {

namespace {

// Starts up to `count` threads running `work`; fewer (none) where the system gives no more.
template <typename Work>
void StartThreads(std::vector<std::thread>& threads, size_t count, Work work)
{
    try {
        for (size_t i = 0; i < count; ++i)
            threads.emplace_back(work);
    } catch (const std::system_error&) {
    }
}

} // namespace

HeadReadAhead::HeadReadAhead(
    const std::vector<std::string>& files, const FileId* skip, size_t threads, size_t window)
    : files_(files)
    , skip_(skip)
    , threads_(threads)
    , probe_(std::chrono::microseconds(100))
    , slots_(std::max<size_t>(window, 1))
{
}

void HeadReadAhead::StartReaders(size_t from)
{
    started_ = true;
    next_ = from;
    taken_ = from;
    StartThreads(readers_, std::min(threads_, files_.size() - from), [this] { Work(); });
}

HeadReadAhead::~HeadReadAhead()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    roomChanged_.notify_all();
    for (std::thread& t : readers_)
        t.join();
}

void HeadReadAhead::Work()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        roomChanged_.wait(lock, [this] {
            return stopping_ || next_ >= files_.size() || next_ < taken_ + slots_.size();
        });
        if (stopping_ || next_ >= files_.size())
            return;
        const size_t index = next_++;
        lock.unlock();
        Slot done;
        try {
            done.result = ReadPageFields(files_[index], skip_);
        } catch (...) {
            done.error = std::current_exception();
        }
        done.ready = true;
        lock.lock();
        slots_[index % slots_.size()] = std::move(done);
        readyChanged_.notify_one(); // only the one taking waits for it
    }
}

ReadResult HeadReadAhead::Take(size_t index)
{
    if (readers_.empty()) {
        if (started_ || !LatencyProbe::Times(index))
            return ReadPageFields(files_[index], skip_);
        const auto start = std::chrono::steady_clock::now();
        ReadResult read = ReadPageFields(files_[index], skip_);
        if (probe_.Slow(std::chrono::steady_clock::now() - start) && index + 1 < files_.size())
            StartReaders(index + 1);
        return read;
    }
    Slot slot;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        Slot& waiting = slots_[index % slots_.size()];
        readyChanged_.wait(lock, [&waiting] { return waiting.ready; });
        slot = std::move(waiting);
        waiting = Slot();
        taken_ = index + 1;
    }
    roomChanged_.notify_one(); // room for one more read
    if (slot.error)
        std::rethrow_exception(slot.error);
    return std::move(slot.result);
}

ListingReadAhead::ListingReadAhead(size_t threads)
    : threads_(threads)
    , probe_(std::chrono::microseconds(250))
{
}

ListingReadAhead::~ListingReadAhead()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    work_.notify_all();
    for (std::thread& t : listers_)
        t.join();
}

void ListingReadAhead::Ask(const std::string& folder)
{
    if (!started_) {
        askedEarly_.push_back(folder);
        return;
    }
    if (listers_.empty())
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
            done.listing.error = Disk().ListFolder(folder, done.listing.entries, &done.listing.id);
        } catch (...) {
            done.error = std::current_exception();
        }
        done.ready = true;
        lock.lock();
        pending_[folder] = std::move(done);
        ready_.notify_one(); // only the search waits for listings
    }
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
    if (listers_.empty()) {
        if (!askedEarly_.empty() && askedEarly_.back() == folder)
            askedEarly_.pop_back();
        if (started_ || !LatencyProbe::Times(listed_++)) {
            listing.error = Disk().ListFolder(folder, listing.entries, &listing.id);
            return listing;
        }
        const auto start = std::chrono::steady_clock::now();
        listing.error = Disk().ListFolder(folder, listing.entries, &listing.id);
        if (probe_.Slow(std::chrono::steady_clock::now() - start)) {
            started_ = true;
            StartThreads(listers_, threads_, [this] { Work(); });
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
