#include "platform/stop_signals.h"

#include "temporary_name.h"

#include <atomic>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <pthread.h>
#include <thread>
#include <unistd.h>

namespace tovaro {

namespace {

std::mutex gNameLock;
char gTempPath[PATH_MAX];
std::atomic<bool> gTempNamed { false };

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

[[noreturn]] void WaitForStop(sigset_t set)
{
    int sig = 0;
    while (::sigwait(&set, &sig) != 0) { }
    // Waits for a temporary file being named or renamed, and keeps the lock: from here on no
    // new one gets a name.
    gNameLock.lock();
    RemoveTemporaryFileNow();
    ::signal(sig, SIG_DFL);
    sigset_t one;
    ::sigemptyset(&one);
    ::sigaddset(&one, sig);
    ::pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
    ::raise(sig); // ends the process as the signal does, with its status
    ::_exit(128 + sig);
}

} // namespace

std::unique_lock<std::mutex> LockTemporaryName()
{
    return std::unique_lock<std::mutex>(gNameLock);
}

void RegisterTemporaryName(const std::string& name)
{
    std::snprintf(gTempPath, sizeof gTempPath, "%s", name.c_str());
    gTempNamed = true;
}

void ForgetTemporaryName()
{
    gTempNamed = false;
}

void RemoveTemporaryFileNow()
{
    if (gTempNamed)
        ::unlink(gTempPath);
}

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
