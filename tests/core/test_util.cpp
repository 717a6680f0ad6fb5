#include "test_util.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace tovaro::test {

TempDir::TempDir()
{
    std::string tmpl = (fs::temp_directory_path() / "tovaro-test-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
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
    fs::path p = fs::path(path_) / relative;
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out << content;
    return p.string();
}

std::string TempDir::Mkdir(const std::string& relative) const
{
    fs::path p = fs::path(path_) / relative;
    fs::create_directories(p);
    return p.string();
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool FileExists(const std::string& path)
{
    std::error_code ec;
    return fs::exists(path, ec);
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

std::string Page(
    const std::string& title, const std::string& keywords, const std::string& description)
{
    return "<html>\r\n<head>\r\n<title>" + title + "</title>\r\n<meta name=\"keywords\" content=\""
        + keywords + "\">\r\n<meta name=\"description\" content=\"" + description
        + "\">\r\n</head>\r\n<body></body>\r\n</html>\r\n";
}

FailingWriteStore::FailingWriteStore(size_t allowed, int error, int signal)
    : allowed_(allowed)
    , error_(error)
    , signal_(signal)
{
}

ssize_t FailingWriteStore::WriteSome(int fd, const char* data, size_t size)
{
    if (written_ >= allowed_) {
        if (signal_ != 0)
            ::kill(::getpid(), signal_);
        errno = signal_ != 0 ? EINTR : error_;
        return -1;
    }
    const ssize_t n = ::write(fd, data, std::min(size, allowed_ - written_));
    if (n > 0)
        written_ += static_cast<size_t>(n);
    return n;
}

} // namespace tovaro::test
