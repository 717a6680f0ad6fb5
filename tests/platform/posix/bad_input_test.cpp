// Files and targets that are not what a site owner meant: nothing crashes, hangs or is lost.
#include "core/failure_text.h"
#include "core/head_scan.h"
#include "core/run.h"
#include "failing_store.h"
#include "platform/file_system.h"
#include "platform/posix/atomic_file_store.h"
#include "test_util.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <malloc.h>
#include <pthread.h>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tovaro;

namespace {

const std::string kPage = test::Page("T");

struct Lines : RunSink {
    std::vector<std::string> lines;
    void StatusLine(const std::string& l) override { lines.push_back(l); }
};

// Runs `f` in a child process with the rights of an ordinary user (as root every file is
// readable); returns its exit status.
template <class F> int AsOrdinaryUser(F f)
{
    pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(99);
        ::_exit(f());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

// Writes a page that only its owner may read or write, in a folder everybody may enter.
std::string OpenDir(test::TempDir& dir)
{
    ::chmod(dir.path().c_str(), 0755);
    return dir.path();
}

// A file of `megabytes` that starts with `start` and holds NUL bytes after it, without using
// the disk for them.
std::string SparseFile(
    const test::TempDir& dir, const std::string& name, const std::string& start, long megabytes)
{
    const std::string path = dir.Write(name, start);
    EXPECT_EQ(::truncate(path.c_str(), megabytes * 1024 * 1024), 0);
    return path;
}

} // namespace

TEST(BadInputTest, BinaryFileWithAnHtmlName)
{
    test::TempDir dir;
    std::string bytes(100000, '\0');
    std::mt19937 rng(42);
    for (char& c : bytes)
        c = static_cast<char>(rng());
    std::string path = dir.Write("bild.htm", bytes);
    RunInputs in { { path, dir.Write("ok.htm", kPage) }, dir.path(), dir.path() + "/lookup.htm", "",
        {} };
    Lines sink;
    RunResult r = RunGeneration(test::NativeDisk(), in, sink);
    EXPECT_TRUE(r.written);
    EXPECT_EQ(r.entries, 1u);
    ASSERT_EQ(sink.lines.size(), 1u);
    EXPECT_EQ(sink.lines[0].rfind("Fehlend: ", 0), 0u);
}

TEST(BadInputTest, HugeFileWithoutLineEndsKeepsMemoryBounded)
{
    test::TempDir dir;
    // 200 MB, no line end at all.
    const std::string path
        = SparseFile(dir, "riesig.htm", "<html><head><title>Riesig</title>", 200);

    rusage before {};
    ::getrusage(RUSAGE_SELF, &before);
    ReadResult r = ReadPageFields(test::NativeDisk(), path);
    rusage after {};
    ::getrusage(RUSAGE_SELF, &after);
    EXPECT_EQ(r.status, ReadStatus::Ok);
    EXPECT_EQ(r.fields.title, "Riesig"); // the examined start of the line still counts
    // ru_maxrss is in kilobytes: the scan must not hold the file.
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024);
}

TEST(BadInputTest, UnclosedTitleInAHugeFileKeepsMemoryBounded)
{
    // "<head><title>" and then 300 MB of NUL bytes without a line end: the title is never
    // closed, and was kept whole until the line ended.
    test::TempDir dir;
    const std::string path = SparseFile(
        dir, "loch.htm", "<head><title x><title><meta name=\"keywords\" content=\"", 300);

    rusage before {};
    ::getrusage(RUSAGE_SELF, &before);
    ReadResult r = ReadPageFields(test::NativeDisk(), path);
    rusage after {};
    ::getrusage(RUSAGE_SELF, &after);
    EXPECT_EQ(r.status, ReadStatus::Ok);
    EXPECT_EQ(r.fields.title, "");
    EXPECT_EQ(r.fields.keywords.size(), kFieldLimit);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 32 * 1024); // kilobytes
}

TEST(BadInputTest, SpecialFilesInTheListNeverBlock)
{
    const std::string kNotAFile
        = "Das ist keine gewöhnliche Datei, sondern ein Gerät, eine Pipe oder ein Socket";
    test::TempDir dir;
    std::string fifo = dir.path() + "/rohr.htm";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string dangling = dir.path() + "/tot.htm";
    ASSERT_EQ(::symlink("/gibt/es/nicht", dangling.c_str()), 0);
    RunInputs in { { fifo, "/dev/zero", dir.Mkdir("ordner"), dangling, dir.Write("ok.htm", kPage) },
        dir.path(), dir.path() + "/lookup.htm", "", {} };
    Lines sink;
    RunResult r = RunGeneration(test::NativeDisk(), in, sink);
    EXPECT_TRUE(r.written);
    EXPECT_EQ(r.entries, 1u);
    EXPECT_EQ(r.unreadable, 4u);
    EXPECT_EQ(sink.lines,
        (std::vector<std::string> { "Nicht lesbar: " + fifo + " (" + kNotAFile + ")",
            "Nicht lesbar: /dev/zero (" + kNotAFile + ")",
            "Nicht lesbar: " + in.files[2] + " (Das ist ein Ordner)",
            "Nicht lesbar: " + dangling + " (Der Ordner oder die Datei existiert nicht)" }));
}

TEST(BadInputTest, ReadErrorAndMissingPermission)
{
    // A file whose read fails after it opened.
    EXPECT_EQ(ReadPageFields(test::NativeDisk(), "/proc/self/mem").status, ReadStatus::Unreadable);

    test::TempDir dir;
    OpenDir(dir);
    std::string secret = dir.Write("geheim.htm", kPage);
    ::chmod(secret.c_str(), 0600);
    ::chown(secret.c_str(), 0, 0);
    int status = AsOrdinaryUser([&] {
        return ReadPageFields(test::NativeDisk(), secret).status == ReadStatus::Unreadable ? 0 : 1;
    });
    if (::geteuid() != 0 && ::access(secret.c_str(), R_OK) == 0)
        GTEST_SKIP() << "the file stays readable for this user";
    EXPECT_EQ(status, 0);
}

TEST(BadInputTest, ReadOnlyFolderKeepsTheOldPageAndSaysWhy)
{
    test::TempDir dir;
    OpenDir(dir);
    std::string folder = dir.Mkdir("nur-lesen");
    std::string old = dir.Write("nur-lesen/lookup.htm", "alte Seite");
    ::chmod(old.c_str(), 0666);
    ::chmod(folder.c_str(), 0555);
    int status = AsOrdinaryUser([&] {
        AtomicFileStore store;
        return store.Replace(old, "neu").failure.kind == FailureKind::NoPermission ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(test::ReadFile(old), "alte Seite");
}

TEST(BadInputTest, WriteFailingHalfWayShowsTheErrorAndKeepsTheOldPage)
{
    test::TempDir dir;
    std::string out = dir.Write("lookup.htm", "alte Seite");
    RunInputs in { { dir.Write("a.htm", kPage) }, dir.path(), out, "", {} };
    Lines sink;
    test::FailingWriteStore store(100, EIO);
    test::DiskWithStore disk(store);
    RunResult r = RunGeneration(disk, in, sink);
    EXPECT_FALSE(r.written);
    EXPECT_EQ(RunMessage(r, in, PathStyle::Posix),
        "Die Suchdatei konnte nicht erstellt werden: " + out
            + "\nEin-/Ausgabefehler beim Zugriff auf den Datenträger.");
    EXPECT_EQ(test::ReadFile(out), "alte Seite");
}

TEST(BadInputTest, AwkwardFileNamesGiveWorkingUrls)
{
    test::TempDir dir;
    std::vector<std::string> names = { "mit Leerzeichen.htm", "peter's.htm", "nr#1.htm", "100%.htm",
        "grüße.htm", "lat\xE4in.htm" };
    RunInputs in;
    for (const std::string& n : names)
        in.files.push_back(dir.Write(n, kPage));
    in.siteDir = dir.path();
    in.outputPath = dir.path() + "/lookup.htm";
    Lines sink;
    ASSERT_TRUE(RunGeneration(test::NativeDisk(), in, sink).written);
    const std::string page = test::ReadFile(in.outputPath);
    for (const char* url :
        { "urls[0]='mit%20Leerzeichen.htm';", "urls[1]='peter%27s.htm';", "urls[2]='nr%231.htm';",
            "urls[3]='100%25.htm';", "urls[4]='grüße.htm';", "urls[5]='lat%E4in.htm';" })
        EXPECT_NE(page.find(url), std::string::npos) << url;
}

TEST(BadInputTest, OutOfMemoryInTheRunKeepsTheOldPage)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "The sanitizer reserves more address space than the limit allows";
#else
    test::TempDir dir;
    RunInputs in;
    in.siteDir = dir.path();
    in.outputPath = dir.Write("lookup.htm", "alte Seite");
    // Each entry holds a title of almost 1 MiB: 400 of them do not fit in what the child has.
    const std::string big = std::string(1000000, 't');
    const std::string page = dir.Write("gross.htm", test::Page(big, "k", "d"));
    in.files.assign(400, page);
    pid_t pid = ::fork();
    if (pid == 0) {
        // The address space the child has, and 128 MiB more.
        std::ifstream statm("/proc/self/statm");
        unsigned long pages = 0;
        statm >> pages;
        const rlim_t bytes = pages * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + (128L << 20);
        struct rlimit limit {
            bytes, bytes
        };
        // Address space for the page, not for the readers: their stacks small, and every
        // thread's allocations in the one arena (a thread's own arena reserves 64 MiB of address
        // space at once, which would leave the page's growth more or less room by timing).
        pthread_attr_t small;
        ::pthread_attr_init(&small);
        ::pthread_attr_setstacksize(&small, 256 << 10);
        ::pthread_setattr_default_np(&small);
        ::mallopt(M_ARENA_MAX, 1);
        ::setrlimit(RLIMIT_AS, &limit);
        RunSink sink;
        const RunResult result = RunGeneration(test::NativeDisk(), in, sink);
        if (!result.written && result.failure.kind == FailureKind::OutOfMemory)
            ::_exit(0);
        // What the run said instead, for the test's report.
        std::fprintf(stderr, "written %d, failure kind %d, code %d\n", result.written ? 1 : 0,
            static_cast<int>(result.failure.kind), result.failure.code);
        ::_exit(1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status)) << "the run ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the run did not fail for want of memory";
    EXPECT_EQ(test::ReadFile(in.outputPath), "alte Seite");
#endif
}
