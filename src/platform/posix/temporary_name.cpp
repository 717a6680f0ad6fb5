#include "temporary_name.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

namespace tovaro {

namespace {

// A few records: one page is replaced at a time, but a test may replace several at once. A
// record is claimed (Writing), filled, then published (Recorded); a stop reads only published
// ones, so it never sees a name half written.
enum RecordState : int { kFree, kWriting, kRecorded };

struct Record {
    std::atomic<int> state { kFree };
    std::atomic<bool> creating { false };
    char path[PATH_MAX];
};

constexpr int kRecords = 8;
Record gRecords[kRecords];
std::atomic<bool> gStopping { false };

// The host's name, as it may stand in a file name: letters, digits, "." and "_" only.
const std::string& HostPart()
{
    static const std::string host = [] {
        char name[256] = {};
        if (::gethostname(name, sizeof name - 1) != 0)
            return std::string();
        std::string out;
        for (const char* p = name; *p != '\0' && out.size() < 64; ++p) {
            const char c = *p;
            const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')
                || (c >= '0' && c <= '9') || c == '.' || c == '_';
            out.push_back(plain ? c : '_');
        }
        return out;
    }();
    return host;
}

// The process namespace in which process numbers are told apart (0 where it cannot be told): in
// another one (a container on the same host) the same number is another process.
unsigned long long NamespacePart()
{
    static const unsigned long long ns = [] {
        struct stat st { };
        return ::stat("/proc/self/ns/pid", &st) == 0 ? static_cast<unsigned long long>(st.st_ino)
                                                     : 0ULL;
    }();
    return ns;
}

// Reads a number of `base` from `p` up to `stop`; false when there is none or something else.
bool ReadNumber(const char*& p, char stop, int base, unsigned long long& value)
{
    char* end = nullptr;
    if (*p < '0' || (base == 10 && *p > '9'))
        return false;
    errno = 0;
    value = std::strtoull(p, &end, base);
    if (errno != 0 || end == p || *end != stop)
        return false;
    p = end + 1;
    return true;
}

} // namespace

int RecordTemporaryName(const std::string& name)
{
    if (name.size() >= PATH_MAX)
        return -1;
    for (int i = 0; i < kRecords; ++i) {
        int expected = kFree;
        if (!gRecords[i].state.compare_exchange_strong(expected, kWriting))
            continue;
        std::memcpy(gRecords[i].path, name.c_str(), name.size() + 1);
        gRecords[i].state.store(kRecorded);
        // A stop that began meanwhile may have passed this record over: nothing is created.
        if (gStopping.load()) {
            gRecords[i].state.store(kFree);
            return -1;
        }
        return i;
    }
    return -1;
}

void MarkCreating(int record, bool creating)
{
    if (record >= 0 && record < kRecords)
        gRecords[record].creating.store(creating);
}

void ForgetTemporaryName(int record)
{
    if (record >= 0 && record < kRecords) {
        gRecords[record].creating.store(false);
        gRecords[record].state.store(kFree);
    }
}

void RemoveTemporaryFilesNow()
{
    gStopping.store(true);
    for (Record& r : gRecords) {
        if (r.state.load() == kRecorded)
            ::unlink(r.path);
    }
}

bool TemporaryFileBeingCreated()
{
    for (const Record& r : gRecords) {
        if (r.state.load() == kRecorded && r.creating.load())
            return true;
    }
    return false;
}

std::string NewTemporaryName(const std::string& folder)
{
    static std::atomic<unsigned> counter { 0 };
    char name[128];
    std::snprintf(name, sizeof name, "%s%ld-%u-%lx-%llx-", kTemporaryPrefix,
        static_cast<long>(::getpid()), counter++, static_cast<unsigned long>(std::time(nullptr)),
        NamespacePart());
    return folder + name + HostPart();
}

bool IsStaleTemporaryName(const std::string& name)
{
    // ".tovaro-" pid "-" counter "-" time "-" namespace "-" host
    if (name.compare(0, sizeof kTemporaryPrefix - 1, kTemporaryPrefix) != 0)
        return false;
    const char* p = name.c_str() + sizeof kTemporaryPrefix - 1;
    unsigned long long pid = 0, counter = 0, time = 0, ns = 0;
    if (!ReadNumber(p, '-', 10, pid) || !ReadNumber(p, '-', 10, counter)
        || !ReadNumber(p, '-', 16, time) || !ReadNumber(p, '-', 16, ns))
        return false;
    if (ns == 0 || ns != NamespacePart() || HostPart().empty() || HostPart() != p)
        return false;
    if (pid == 0 || pid > static_cast<unsigned long long>(INT_MAX)
        || pid == static_cast<unsigned long long>(::getpid()))
        return false;
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

} // namespace tovaro
