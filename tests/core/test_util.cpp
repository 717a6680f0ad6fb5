#include "test_util.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <csignal>
#include <cstring>
#include <pthread.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace tovaro::test {

namespace {

// Paths in the program are UTF-8 on every system; std::filesystem reads them as such.
fs::path FromUtf8(const std::string& path)
{
    return fs::u8path(path);
}

std::string ToUtf8(const fs::path& path)
{
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace

TempDir::TempDir()
{
    std::random_device random;
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate = base / ("tovaro-test-" + std::to_string(random()));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            path_ = ToUtf8(candidate);
            return;
        }
    }
    throw std::runtime_error("no temporary folder");
}

TempDir::~TempDir()
{
    std::error_code ec;
    // Restore permissions that tests took away, so that everything can be removed.
    for (auto it = fs::recursive_directory_iterator(
             path_, fs::directory_options::skip_permission_denied, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string TempDir::Write(const std::string& relative, const std::string& content) const
{
    fs::path p = FromUtf8(path_) / FromUtf8(relative);
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out << content;
    return ToUtf8(p.make_preferred());
}

std::string TempDir::Mkdir(const std::string& relative) const
{
    fs::path p = FromUtf8(path_) / FromUtf8(relative);
    fs::create_directories(p);
    return ToUtf8(p.make_preferred());
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(FromUtf8(path), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool FileExists(const std::string& path)
{
    std::error_code ec;
    return fs::exists(FromUtf8(path), ec);
}

std::string CrLf(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += "\r\n";
        else
            out += c;
    }
    return out;
}

std::string Fixture(const std::string& name)
{
#ifdef TOVARO_FIXTURES
    return CrLf(ReadFile(std::string(TOVARO_FIXTURES) + "/" + name));
#else
    (void)name;
    return {};
#endif
}

std::vector<std::string> Urls(const std::string& page)
{
    std::vector<std::string> urls;
    std::istringstream lines(page);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.find("urls[") == 5) {
            const size_t start = line.find("='") + 2;
            urls.push_back(line.substr(start, line.rfind("';") - start));
        }
    }
    return urls;
}

std::string Page(
    const std::string& title, const std::string& keywords, const std::string& description)
{
    return "<html>\r\n<head>\r\n<title>" + title + "</title>\r\n<meta name=\"keywords\" content=\""
        + keywords + "\">\r\n<meta name=\"description\" content=\"" + description
        + "\">\r\n</head>\r\n<body></body>\r\n</html>\r\n";
}

Watchdog::Watchdog(std::chrono::seconds limit, std::string what)
    : thread_([this, limit, what = std::move(what)] {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!done_.wait_for(lock, limit, [this] { return finished_; })) {
            std::fprintf(stderr, "hangs: %s (still running after %lld s)\n", what.c_str(),
                static_cast<long long>(limit.count()));
            std::fflush(stderr);
            std::abort();
        }
    })
{
}

Watchdog::~Watchdog()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        finished_ = true;
    }
    done_.notify_all();
    thread_.join();
}

namespace {

// Every test of the programs that link this library runs under a watchdog: one that hangs says
// so, by name, before the test command's time limit ends it.
constexpr std::chrono::seconds kTestLimit(90);

#ifdef _WIN32
class WatchEveryTest : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo& test) override
    {
        watchdog_ = std::make_unique<Watchdog>(
            kTestLimit, std::string(test.test_suite_name()) + "." + test.name());
    }
    void OnTestEnd(const ::testing::TestInfo&) override { watchdog_.reset(); }

    std::unique_ptr<Watchdog> watchdog_;
};
#else
// On Linux an alarm rather than a thread: many tests fork, and a child of a process of several
// threads may not start threads of its own under ThreadSanitizer. A child has no alarm.
char gRunning[512];

extern "C" void SayWhichTestHangs(int)
{
    const char head[] = "hangs: ";
    ssize_t ignored = ::write(STDERR_FILENO, head, sizeof head - 1);
    ignored = ::write(STDERR_FILENO, gRunning, std::strlen(gRunning));
    ignored = ::write(STDERR_FILENO, "\n", 1);
    (void)ignored;
    std::abort();
}

extern "C" void ForgetTheAlarmInAChild()
{
    ::signal(SIGALRM, SIG_DFL); // a child is the test's scene: its signals are its own
}

class WatchEveryTest : public ::testing::EmptyTestEventListener {
public:
    WatchEveryTest() { ::pthread_atfork(nullptr, nullptr, ForgetTheAlarmInAChild); }

private:
    void OnTestStart(const ::testing::TestInfo& test) override
    {
        std::snprintf(gRunning, sizeof gRunning, "%s.%s (still running after %lld s)",
            test.test_suite_name(), test.name(), static_cast<long long>(kTestLimit.count()));
        struct sigaction say { };
        say.sa_handler = SayWhichTestHangs;
        ::sigaction(SIGALRM, &say, nullptr);
        ::alarm(static_cast<unsigned>(kTestLimit.count()));
    }
    void OnTestEnd(const ::testing::TestInfo&) override { ::alarm(0); }
};
#endif

const bool kWatching = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new WatchEveryTest);
    return true;
}();

} // namespace

} // namespace tovaro::test
