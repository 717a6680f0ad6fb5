#pragma once

#include "platform/file_system.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tovaro::test {

/// The file system of this system, for the tests that run on the real disk.
inline FileSystem& NativeDisk()
{
    static const std::unique_ptr<FileSystem> disk = MakeNativeFileSystem();
    return *disk;
}

/// The separator that the program writes between folder and name on this system.
inline const std::string kSep = NativeDisk().Style() == PathStyle::Windows ? "\\" : "/";

/// A fresh directory below the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    /// Writes `content` to `relative` below the directory, creating folders on the way.
    std::string Write(const std::string& relative, const std::string& content) const;
    std::string Mkdir(const std::string& relative) const;
    /// The path of `relative` ("/" between its parts) below the directory, as the program
    /// writes it on this system.
    std::string At(const std::string& relative) const
    {
        std::string out = path_ + kSep;
        for (char c : relative)
            out += c == '/' ? kSep : std::string(1, c);
        return out;
    }

private:
    std::string path_;
};

std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
/// Lines joined with CR LF after each ("a", "b" -> "a\r\nb\r\n").
std::string CrLf(const std::string& linesWithLf);
/// A fixture file with LF line ends, read and turned into CR LF lines.
std::string Fixture(const std::string& name);

/// The links of a search page (its urls[] lines), in order.
std::vector<std::string> Urls(const std::string& page);

/// Ends the test program with a message if it is still alive after `limit`: a test whose
/// threads wait for each other forever says where it hangs instead of running into the test
/// command's time limit.
class Watchdog {
public:
    Watchdog(std::chrono::seconds limit, std::string what);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;
};

/// An HTML page whose head holds the title, keywords and description, with CR LF line ends.
std::string Page(const std::string& title, const std::string& keywords = "k",
    const std::string& description = "d");

} // namespace tovaro::test
