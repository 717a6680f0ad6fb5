#include "core/output_file.h"
#include "test_util.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tovaro;

namespace {

// Writes the first `allowed` bytes, then fails as a full disk would.
class FailingStore : public AtomicFileStore {
public:
    explicit FailingStore(size_t allowed)
        : allowed_(allowed)
    {
    }

protected:
    ssize_t WriteSome(int fd, const char* data, size_t size) override
    {
        if (written_ >= allowed_) {
            errno = ENOSPC;
            return -1;
        }
        size_t n = std::min(size, allowed_ - written_);
        ssize_t r = ::write(fd, data, n);
        if (r > 0)
            written_ += static_cast<size_t>(r);
        return r;
    }

private:
    size_t allowed_;
    size_t written_ = 0;
};

size_t CountEntries(const std::string& dir)
{
    size_t n = 0;
    DIR* d = ::opendir(dir.c_str());
    while (dirent* e = ::readdir(d))
        n += e->d_name[0] != '.' || (e->d_name[1] != '\0' && e->d_name[1] != '.');
    ::closedir(d);
    return n;
}

} // namespace

TEST(AtomicFileStoreTest, CreatesAndReplaces)
{
    test::TempDir dir;
    std::string p = dir.path() + "/lookup.htm";
    AtomicFileStore store;
    EXPECT_EQ(store.Replace(p, "eins"), "");
    EXPECT_EQ(store.Replace(p, "zwei"), "");
    EXPECT_EQ(test::ReadFile(p), "zwei");
    EXPECT_EQ(CountEntries(dir.path()), 1u); // no temporary file left behind
}

TEST(AtomicFileStoreTest, NewPageIsReadableByOthers)
{
    test::TempDir dir;
    std::string p = dir.path() + "/lookup.htm";
    mode_t old = ::umask(022);
    AtomicFileStore store;
    ASSERT_EQ(store.Replace(p, "x"), "");
    ::umask(old);
    struct stat st { };
    ASSERT_EQ(::stat(p.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST(AtomicFileStoreTest, WriteFailingHalfWayKeepsTheOldPage)
{
    test::TempDir dir;
    std::string p = dir.Write("lookup.htm", "alte Suchseite");
    FailingStore store(3);
    std::string error = store.Replace(p, std::string(100000, 'n'));
    EXPECT_EQ(error, std::strerror(ENOSPC));
    EXPECT_EQ(test::ReadFile(p), "alte Suchseite");
    EXPECT_EQ(CountEntries(dir.path()), 1u);
}

TEST(AtomicFileStoreTest, UnwritableTargetsReportTheReason)
{
    test::TempDir dir;
    AtomicFileStore store;
    EXPECT_EQ(store.Replace(dir.path() + "/fehlt/lookup.htm", "x"), std::strerror(ENOENT));
    std::string sub = dir.Mkdir("ordner");
    EXPECT_EQ(store.Replace(sub, "x"), std::strerror(EISDIR));
    EXPECT_NE(store.Replace("", "x"), "");
}

TEST(AtomicFileStoreTest, LinkIsReplacedAtItsTarget)
{
    test::TempDir dir;
    std::string target = dir.Write("echt.htm", "alt");
    std::string link = dir.path() + "/lookup.htm";
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    AtomicFileStore store;
    ASSERT_EQ(store.Replace(link, "neu"), "");
    EXPECT_EQ(test::ReadFile(target), "neu");
    struct stat st { };
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}
