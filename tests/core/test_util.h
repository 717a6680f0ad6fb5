#pragma once

#include "core/output_file.h"

#include <string>

namespace tovaro::test {

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

private:
    std::string path_;
};

std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
/// Lines joined with CR LF after each ("a", "b" -> "a\r\nb\r\n").
std::string CrLf(const std::string& linesWithLf);
/// A fixture file with LF line ends, read and turned into CR LF lines.
std::string Fixture(const std::string& name);

/// An HTML page whose head holds the title, keywords and description, with CR LF line ends.
std::string Page(const std::string& title, const std::string& keywords = "k",
    const std::string& description = "d");

/// The safe page store with a write that fails once `allowed` bytes are written: with `error`
/// as a full disk or a broken device would, or by raising `signal` (the user interrupting).
class FailingWriteStore : public AtomicFileStore {
public:
    FailingWriteStore(size_t allowed, int error, int signal = 0);

protected:
    ssize_t WriteSome(int fd, const char* data, size_t size) override;

private:
    size_t allowed_;
    int error_;
    int signal_;
    size_t written_ = 0;
};

} // namespace tovaro::test
