#include "platform/stop_signals.h"

#include "temporary_name.h"

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace tovaro {

namespace {

// The signals from outside that end a process by default. Those a fault raises (SIGSEGV ...)
// and SIGABRT, which abort() raises in its own thread, are handled where they occur.
sigset_t StopSignals()
{
    sigset_t set;
    ::sigemptyset(&set);
    for (int sig : { SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGALRM, SIGUSR1, SIGUSR2, SIGVTALRM,
             SIGPROF, SIGIO, SIGPWR, SIGXCPU, SIGSTKFLT }) {
        ::sigaddset(&set, sig);
    }
    for (int rt = SIGRTMIN; rt <= SIGRTMAX; ++rt)
        ::sigaddset(&set, rt);
    // A signal the process ignores or handles itself stays with it.
    for (int sig = 1; sig < NSIG; ++sig) {
        struct sigaction current { };
        if (::sigismember(&set, sig) == 1 && ::sigaction(sig, nullptr, &current) == 0
            && (current.sa_handler != SIG_DFL || (current.sa_flags & SA_SIGINFO) != 0))
            ::sigdelset(&set, sig);
    }
    return set;
}

// How long a stop waits for its clean-up at most: a share that does not answer holds a call
// (the create of a temporary file, its removal) as long as it likes, and the stop is served
// anyway. A file such a share creates after the end is left to a later run, which removes it
// as stale.
constexpr auto kCleanUpAtMost = std::chrono::milliseconds(1500);

// Removes the recorded temporary files; a file whose create call is still under way is removed
// again once the call has returned, while the time allows.
void CleanUp(std::chrono::steady_clock::time_point until)
{
    RemoveTemporaryFilesNow();
    while (TemporaryFileBeingCreated() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        RemoveTemporaryFilesNow();
    }
}

// The clean-up on a thread of its own, waited for at most until `until`: the removal of a file
// on a share that hangs must not hold the stop.
void CleanUpWithin(std::chrono::steady_clock::time_point until)
{
    struct Done {
        std::mutex mutex;
        std::condition_variable changed;
        bool done = false;
    };
    auto done = std::make_shared<Done>();
    try {
        std::thread([done, until] {
            CleanUp(until);
            std::lock_guard<std::mutex> lock(done->mutex);
            done->done = true;
            done->changed.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        CleanUp(until); // no thread to be had: here, then
        return;
    }
    std::unique_lock<std::mutex> lock(done->mutex);
    done->changed.wait_until(
        lock, until + std::chrono::milliseconds(100), [&done] { return done->done; });
}

[[noreturn]] void WaitForStop(sigset_t set)
{
    int sig = 0;
    while (::sigwait(&set, &sig) != 0) { }
    CleanUpWithin(std::chrono::steady_clock::now() + kCleanUpAtMost);
    ::signal(sig, SIG_DFL);
    sigset_t one;
    ::sigemptyset(&one);
    ::sigaddset(&one, sig);
    ::pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
    ::raise(sig); // ends the process as the signal does, with its status
    ::_exit(128 + sig);
}

} // namespace

void HandleStopSignalsOnOwnThread()
{
    const sigset_t set = StopSignals();
    ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
    try {
        std::thread(WaitForStop, set).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the signals end the process as before, through the handlers
        // that the page store sets while it writes.
        ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    }
}

} // namespace tovaro
