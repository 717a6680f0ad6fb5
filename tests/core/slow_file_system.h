// A file system that answers late: every open and listing after a wait, random (so that
// requests in flight finish in any order) or fixed (a network share). A file can be made to
// fail its read, or to run out of memory.
#pragma once

#include "platform/file_system.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <new>
#include <random>
#include <thread>

namespace tovaro::test {

class SlowFileSystem : public ForwardingFileSystem {
public:
    /// Waits up to `maxWait` before each open and listing: a random time, or always all of it.
    SlowFileSystem(FileSystem& inner,
        std::chrono::microseconds maxWait = std::chrono::microseconds(400), bool random = true)
        : ForwardingFileSystem(inner)
        , inner_(inner)
        , maxWait_(maxWait)
        , random_(random)
    {
    }
    std::string failingRead;
    std::string outOfMemory;
    std::atomic<size_t> opened { 0 };
    /// Opens answered at once before the waits begin (a share reached later in the list).
    size_t fastOpens = 0;
    std::atomic<size_t> opensInFlight { 0 };
    std::atomic<size_t> mostOpensInFlight { 0 };
    /// Opens made by another thread than the one that made this file system.
    std::atomic<size_t> openedByOthers { 0 };
    std::atomic<size_t> listingsInFlight { 0 };
    std::atomic<size_t> mostListingsInFlight { 0 };

    OrFailure<OpenedFile> OpenRegular(const std::string& path) override
    {
        if (std::this_thread::get_id() != maker_)
            ++openedByOthers;
        if (opened++ >= fastOpens) {
            Raise(mostOpensInFlight, ++opensInFlight);
            Wait();
            --opensInFlight;
        }
        if (path == outOfMemory)
            throw std::bad_alloc();
        if (path == failingRead) {
            OrFailure<OpenedFile> opened = inner_.OpenRegular(path);
            if (opened)
                opened->file = std::make_unique<FailingFile>();
            return opened;
        }
        return inner_.OpenRegular(path);
    }
    Failure ListFolder(
        const std::string& path, std::vector<FolderEntry>& entries, FileId* id) override
    {
        Raise(mostListingsInFlight, ++listingsInFlight);
        Wait();
        const Failure failure = inner_.ListFolder(path, entries, id);
        --listingsInFlight;
        return failure;
    }

private:
    class FailingFile : public InputFile {
    public:
        OrFailure<size_t> Read(char*, size_t) override
        {
            return Failure { FailureKind::InputOutput, 5 };
        }
    };
    static void Raise(std::atomic<size_t>& most, size_t now)
    {
        for (size_t seen = most; now > seen;)
            most.compare_exchange_weak(seen, now);
    }
    void Wait() const
    {
        thread_local std::minstd_rand random(
            static_cast<unsigned>(std::hash<std::thread::id>()(std::this_thread::get_id())));
        const auto wait = maxWait_.count() > 0 && random_
            ? std::chrono::microseconds(random() % static_cast<unsigned>(maxWait_.count()))
            : maxWait_;
        std::this_thread::sleep_for(wait);
    }
    FileSystem& inner_;
    std::thread::id maker_ = std::this_thread::get_id();
    std::chrono::microseconds maxWait_;
    bool random_;
};

} // namespace tovaro::test
