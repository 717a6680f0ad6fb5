#include "failing_store.h"
#include "platform/file_system.h"
#include "platform/posix/atomic_file_store.h"
#include "platform/posix/temporary_name.h"
#include "platform/stop_signals.h"
#include "test_util.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace tovaro;

namespace {

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
    EXPECT_EQ(store.Replace(p, "eins").failure.kind, FailureKind::None);
    EXPECT_EQ(store.Replace(p, "zwei").failure.kind, FailureKind::None);
    EXPECT_EQ(test::ReadFile(p), "zwei");
    EXPECT_EQ(CountEntries(dir.path()), 1u); // no temporary file left behind
}

TEST(AtomicFileStoreTest, NewPageIsReadableByOthers)
{
    test::TempDir dir;
    std::string p = dir.path() + "/lookup.htm";
    mode_t old = ::umask(022);
    AtomicFileStore store;
    ASSERT_EQ(store.Replace(p, "x").failure.kind, FailureKind::None);
    ::umask(old);
    struct stat st { };
    ASSERT_EQ(::stat(p.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST(AtomicFileStoreTest, WriteFailingHalfWayKeepsTheOldPage)
{
    test::TempDir dir;
    std::string p = dir.Write("lookup.htm", "alte Suchseite");
    test::FailingWriteStore store(3, ENOSPC);
    EXPECT_EQ(store.Replace(p, std::string(100000, 'n')).failure.kind, FailureKind::NoSpace);
    EXPECT_EQ(test::ReadFile(p), "alte Suchseite");
    EXPECT_EQ(CountEntries(dir.path()), 1u);
}

TEST(AtomicFileStoreTest, UnwritableTargetsReportTheReason)
{
    test::TempDir dir;
    AtomicFileStore store;
    EXPECT_EQ(
        store.Replace(dir.path() + "/fehlt/lookup.htm", "x").failure.kind, FailureKind::NotFound);
    std::string sub = dir.Mkdir("ordner");
    EXPECT_EQ(store.Replace(sub, "x").failure.kind, FailureKind::IsFolder);
    EXPECT_NE(store.Replace("", "x").failure.kind, FailureKind::None);
    // An error without a kind of its own keeps its number, for the message to name it.
    const Failure other = SystemFailure(ENOTSOCK);
    EXPECT_EQ(other.kind, FailureKind::OtherSystemError);
    EXPECT_EQ(other.code, ENOTSOCK);
}

TEST(AtomicFileStoreTest, LinkIsReplacedAtItsTarget)
{
    test::TempDir dir;
    std::string target = dir.Write("echt.htm", "alt");
    std::string link = dir.path() + "/lookup.htm";
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    AtomicFileStore store;
    ASSERT_EQ(store.Replace(link, "neu").failure.kind, FailureKind::None);
    EXPECT_EQ(test::ReadFile(target), "neu");
    struct stat st { };
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}

TEST(AtomicFileStoreTest, OnlyRegularFilesAreReplaced)
{
    test::TempDir dir;
    AtomicFileStore store;
    const std::string fifo = dir.path() + "/rohr.htm";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(
        store.Replace(fifo, "x").failure.kind, FailureKind::NotRegular); // returns, does not block
    struct stat st { };
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    if (::geteuid() == 0) {
        // A device node of our own, with the numbers of /dev/null.
        const std::string dev = dir.path() + "/geraet.htm";
        ASSERT_EQ(::mknod(dev.c_str(), S_IFCHR | 0600, makedev(1, 3)), 0);
        EXPECT_EQ(store.Replace(dev, "x").failure.kind, FailureKind::NotRegular);
        ASSERT_EQ(::lstat(dev.c_str(), &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode));
    }
    // A name ending in "/" names a folder; no file is made.
    EXPECT_EQ(store.Replace(dir.path() + "/neu/", "x").failure.kind, FailureKind::FolderName);
    EXPECT_FALSE(test::FileExists(dir.path() + "/neu"));
    EXPECT_EQ(CountEntries(dir.path()), ::geteuid() == 0 ? 2u : 1u);
}

TEST(AtomicFileStoreTest, LinksOfOtherUsersAreNotFollowed)
{
    test::TempDir dir;
    AtomicFileStore store;
    // A link of our own to a missing file creates that file.
    const std::string own = dir.path() + "/eigen.htm";
    ASSERT_EQ(::symlink("ziel.htm", own.c_str()), 0);
    ASSERT_EQ(store.Replace(own, "neu").failure.kind, FailureKind::None);
    EXPECT_EQ(test::ReadFile(dir.path() + "/ziel.htm"), "neu");

    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a link to another user";
    const std::string victim = dir.Write("fremd-ziel.htm", "geheim");
    const std::string planted = dir.path() + "/lookup.htm";
    ASSERT_EQ(::symlink(victim.c_str(), planted.c_str()), 0);
    ASSERT_EQ(::lchown(planted.c_str(), 65534, 65534), 0);
    EXPECT_EQ(store.Replace(planted, "neu").failure.kind, FailureKind::ForeignLink);
    EXPECT_EQ(test::ReadFile(victim), "geheim");
}

TEST(AtomicFileStoreTest, NoSpecialModeBitsAndLongNamesWork)
{
    test::TempDir dir;
    AtomicFileStore store;
    const std::string p = dir.Write("lookup.htm", "alt");
    ASSERT_EQ(::chmod(p.c_str(), 07755), 0);
    ASSERT_EQ(store.Replace(p, "neu").failure.kind, FailureKind::None);
    struct stat st { };
    ASSERT_EQ(::stat(p.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);

    const std::string longName = dir.path() + "/" + std::string(251, 'l') + ".htm"; // 255 bytes
    ASSERT_EQ(store.Replace(longName, "lang").failure.kind, FailureKind::None);
    EXPECT_EQ(test::ReadFile(longName), "lang");
}

TEST(AtomicFileStoreTest, InterruptedOrTooLargeWritesLeaveNoTemporaryFile)
{
    test::TempDir dir;
    const std::string p = dir.Write("lookup.htm", "alt");
    // Stopped by SIGTERM half-way through the write.
    pid_t pid = ::fork();
    if (pid == 0) {
        test::FailingWriteStore store(50000, 0, SIGTERM);
        (void)store.Replace(p, std::string(100000, 'n'));
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);

    // A file-size limit is a write error, not the end of the process.
    pid = ::fork();
    if (pid == 0) {
        struct rlimit limit {
            1000, 1000
        };
        ::setrlimit(RLIMIT_FSIZE, &limit);
        AtomicFileStore store;
        ::_exit(store.Replace(p, std::string(100000, 'n')).failure.kind == FailureKind::TooLarge
                ? 0
                : 1);
    }
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    EXPECT_EQ(test::ReadFile(p), "alt");
    EXPECT_EQ(CountEntries(dir.path()), 1u);
}

namespace {

// Runs `f` in a child with the given user, its own group and the extra groups; returns the
// child's exit status.
template <class F> int AsUser(uid_t uid, gid_t gid, std::vector<gid_t> groups, F f)
{
    pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgroups(groups.size(), groups.data()) != 0 || ::setgid(gid) != 0
            || ::setuid(uid) != 0)
            ::_exit(99);
        ::_exit(f());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

struct stat StatOf(const std::string& path)
{
    struct stat st { };
    ::stat(path.c_str(), &st);
    return st;
}

} // namespace

TEST(AtomicFileStoreTest, ThePageKeepsItsOwnerGroupAndModeAndOtherLinksKeepTheOldPage)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "setting another owner needs root";
    test::TempDir dir;
    ::chmod(dir.path().c_str(), 0777);
    AtomicFileStore store;
    // Root keeps owner and group, as for a page root:www-data 0640.
    const std::string p = dir.Write("lookup.htm", "alt");
    const std::string other = dir.path() + "/kopie.htm";
    ASSERT_EQ(::link(p.c_str(), other.c_str()), 0);
    ASSERT_EQ(::chown(p.c_str(), 4321, 33), 0);
    ASSERT_EQ(::chmod(p.c_str(), 0640), 0);
    StoreResult r = store.Replace(p, "neu");
    ASSERT_TRUE(r.Ok()) << static_cast<int>(r.failure.kind);
    EXPECT_FALSE(r.groupChange);
    EXPECT_EQ(StatOf(p).st_uid, 4321u);
    EXPECT_EQ(StatOf(p).st_gid, 33u);
    EXPECT_EQ(StatOf(p).st_mode & 07777, 0640u);
    EXPECT_EQ(test::ReadFile(p), "neu");
    EXPECT_EQ(test::ReadFile(other), "alt"); // replaced as a new file, like sed -i

    // An ordinary user in the page's group keeps the group.
    ASSERT_EQ(::chown(p.c_str(), 4321, 33), 0);
    EXPECT_EQ(AsUser(4321, 4321, { 4321, 33 },
                  [&] {
                      const StoreResult s = store.Replace(p, "mitglied");
                      return s.Ok() && !s.groupChange ? 0 : 1;
                  }),
        0);
    EXPECT_EQ(StatOf(p).st_gid, 33u);
    EXPECT_EQ(StatOf(p).st_mode & 07777, 0640u);
    // One who is not in it writes the page all the same and is told.
    ASSERT_EQ(::chown(p.c_str(), 4321, 34), 0);
    EXPECT_EQ(AsUser(4321, 4321, { 4321 },
                  [&] {
                      const StoreResult s = store.Replace(p, "fremd");
                      return s.Ok() && s.groupChange && s.groupChange->oldGroup == "backup"
                              && s.groupChange->newGroup == "4321"
                          ? 0
                          : 1;
                  }),
        0);
    EXPECT_EQ(test::ReadFile(p), "fremd");
    EXPECT_EQ(StatOf(p).st_gid, 4321u);
}

TEST(AtomicFileStoreTest, LinksOfOtherUsersAreNotFollowedAnywhereOnThePath)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a link to another user";
    test::TempDir dir;
    AtomicFileStore store;
    const std::string victim = dir.Write("opfer/page.htm", "geheim");
    dir.Mkdir("bob");
    const std::string sub = dir.path() + "/bob/sub";
    ASSERT_EQ(::symlink("../opfer", sub.c_str()), 0);
    // Our own link (root's) on the way is followed.
    EXPECT_EQ(store.Replace(sub + "/page.htm", "eigen").failure.kind, FailureKind::None);
    EXPECT_EQ(test::ReadFile(victim), "eigen");
    ASSERT_EQ(::lchown(sub.c_str(), 65534, 65534), 0);
    EXPECT_EQ(store.Replace(sub + "/page.htm", "neu").failure.kind, FailureKind::ForeignLink);
    EXPECT_EQ(
        store.Replace(sub + "/../bob/sub/page.htm", "neu").failure.kind, FailureKind::ForeignLink);
    EXPECT_EQ(test::ReadFile(victim), "eigen");
    EXPECT_EQ(StatOf(victim).st_uid, 0u);
}

TEST(AtomicFileStoreTest, EverySignalThatEndsTheProgramRemovesANamedTemporaryFile)
{
    // A file system without unnamed files: the page is written under a temporary name.
    struct NamedOnly : test::FailingWriteStore {
        explicit NamedOnly(int signal)
            : FailingWriteStore(50000, 0, signal)
        {
        }
        int OpenUnnamed(const std::string&) override
        {
            errno = EOPNOTSUPP;
            return -1;
        }
    };
    test::TempDir dir;
    const std::string p = dir.Write("lookup.htm", "alt");
    for (int sig : { SIGTERM, SIGQUIT, SIGALRM, SIGUSR1, SIGUSR2, SIGHUP }) {
        pid_t pid = ::fork();
        if (pid == 0) {
            struct rlimit noCore {
                0, 0
            };
            ::setrlimit(RLIMIT_CORE, &noCore);
            NamedOnly store(sig);
            (void)store.Replace(p, std::string(100000, 'n'));
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << strsignal(sig);
        EXPECT_EQ(CountEntries(dir.path()), 1u) << strsignal(sig);
    }
    EXPECT_EQ(test::ReadFile(p), "alt");
}

TEST(AtomicFileStoreTest, AStopOnAnyThreadRemovesTheTemporaryFile)
{
    // The signal comes the moment the temporary file has its name, while other threads run
    // (as Qt's, D-Bus's and the readers' do in the program): whichever thread the system
    // picks, the file goes.
    struct StoppedWhenNamed : AtomicFileStore {
        int OpenUnnamed(const std::string&) override
        {
            errno = EOPNOTSUPP;
            return -1; // the named temporary, whose name a stop must know
        }
        void Named() override
        {
            ::kill(::getpid(), SIGTERM);
            ::usleep(300000);
        }
    };
    test::TempDir dir;
    const std::string p = dir.Write("lookup.htm", "alt");
    for (int round = 0; round < 5; ++round) {
        pid_t pid = ::fork();
        if (pid == 0) {
            HandleStopSignalsOnOwnThread();
            std::vector<std::thread> others;
            for (int i = 0; i < 4; ++i)
                others.emplace_back([] { ::pause(); });
            StoppedWhenNamed store;
            (void)store.Replace(p, "neu");
            ::pause(); // the signal may be handled only once the page is in place
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << round;
        EXPECT_EQ(CountEntries(dir.path()), 1u) << round;
        const std::string page = test::ReadFile(p);
        EXPECT_TRUE(page == "alt" || page == "neu") << page;
    }
}

// What a run killed outright leaves (a temporary file named on a share without unnamed files)
// is removed by a later run, but only where it provably belongs to a process that has ended.
TEST(AtomicFileStoreTest, ALaterRunRemovesOnlyProvablyStaleTemporaryFiles)
{
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    // A name as a process of this host and namespace would make it, with its number changed.
    const std::string mine = NewTemporaryName("");
    const std::string own = std::to_string(::getpid());
    auto as = [&mine, &own](const std::string& pid, const std::string& tail = {}) {
        std::string name = mine;
        name.replace(name.find(own), own.size(), pid);
        return tail.empty() ? name : name.substr(0, name.rfind('-') + 1) + tail;
    };
    struct Case {
        std::string name;
        bool stale;
    };
    const Case cases[] = {
        { as(std::to_string(gone)), true },
        { mine, false }, // this very process
        { as("1"), false }, // a process that runs
        { as(std::to_string(gone), "anderer-rechner"), false }, // another host
        { ".tovaro-" + std::to_string(gone) + "-0-5f5e100", false }, // the old form
        { as("0"), false },
        { "lookup.htm", false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsStaleTemporaryName(c.name), c.stale) << c.name;

    test::TempDir dir;
    for (const Case& c : cases)
        dir.Write(c.name, "x");
    ASSERT_TRUE(AtomicFileStore().Replace(dir.path() + "/lookup.htm", "neu").Ok());
    for (const Case& c : cases)
        EXPECT_EQ(test::FileExists(dir.path() + "/" + c.name), !c.stale || c.name == "lookup.htm")
            << c.name;
}
