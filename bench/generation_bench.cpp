// Indexing speed against the floor of merely reading each file up to its "</head>".
// Run: build/bench/generation_bench [--pages=N]
#include "../tests/core/whole_scan.h"
#include "core/head_scan.h"
#include "core/run.h"
#include "platform/file_system.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// User and system CPU time of the process, in milliseconds.
struct CpuTimes {
    double user = 0;
    double sys = 0;
    static CpuTimes Now()
    {
        rusage u {};
        ::getrusage(RUSAGE_SELF, &u);
        return { u.ru_utime.tv_sec * 1e3 + u.ru_utime.tv_usec / 1e3,
            u.ru_stime.tv_sec * 1e3 + u.ru_stime.tv_usec / 1e3 };
    }
};

void ReportCpu(benchmark::State& state, const CpuTimes& before)
{
    CpuTimes after = CpuTimes::Now();
    double n = static_cast<double>(state.iterations());
    state.counters["user_ms"] = (after.user - before.user) / n;
    state.counters["sys_ms"] = (after.sys - before.sys) / n;
}

size_t g_pages = 20000;

struct Site {
    std::string root;
    std::vector<std::string> files;
};

const Site& TheSite()
{
    static Site site = [] {
        Site s;
        s.root
            = (fs::temp_directory_path() / ("tovaro-bench-" + std::to_string(::getpid()))).string();
        std::string body(6000, 'x');
        for (size_t i = 0; i < g_pages; ++i) {
            std::string dir
                = s.root + "/d" + std::to_string(i % 100) + "/e" + std::to_string(i % 7);
            fs::create_directories(dir);
            std::string path = dir + "/seite" + std::to_string(i) + ".htm";
            std::ofstream out(path, std::ios::binary);
            out << "<!DOCTYPE html>\r\n<html lang=\"de\">\r\n<head>\r\n"
                << "<meta charset=\"utf-8\">\r\n"
                << "<title>Seite " << i << " über Gärten</title>\r\n"
                << "<meta name=\"keywords\" content=\"garten, pflanzen, nummer" << i << "\">\r\n"
                << "<meta name=\"description\" content=\"Beschreibung der Seite " << i
                << " mit etwas Text.\">\r\n"
                << "<link rel=\"stylesheet\" href=\"/style.css\">\r\n</head>\r\n<body>\r\n"
                << body << "\r\n</body>\r\n</html>\r\n";
            s.files.push_back(path);
        }
        return s;
    }();
    return site;
}

// The floor: open, read until the bytes read so far hold "</head>", close.
void BM_ReadHeadsFloor(benchmark::State& state)
{
    const Site& site = TheSite();
    std::vector<char> buf(64 * 1024);
    CpuTimes before = CpuTimes::Now();
    for (auto _ : state) {
        size_t found = 0;
        for (const std::string& f : site.files) {
            int fd = ::open(f.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0)
                continue;
            ssize_t n;
            while ((n = ::read(fd, buf.data(), buf.size())) > 0) {
                if (::memmem(buf.data(), static_cast<size_t>(n), "</head>", 7) != nullptr) {
                    ++found;
                    break;
                }
            }
            ::close(fd);
        }
        benchmark::DoNotOptimize(found);
    }
    ReportCpu(state, before);
    state.counters["files_per_s"] = benchmark::Counter(
        static_cast<double>(site.files.size()), benchmark::Counter::kIsIterationInvariantRate);
}

// Keeps the page in memory: the run without the final write, which is one file whatever the
// size of the site. Everything else goes to the disk.
tovaro::FileSystem& Native()
{
    static const std::unique_ptr<tovaro::FileSystem> disk = tovaro::MakeNativeFileSystem();
    return *disk;
}

struct MemoryStore : tovaro::ForwardingFileSystem {
    MemoryStore()
        : ForwardingFileSystem(Native())
    {
    }
    size_t bytes = 0;
    tovaro::StoreResult Replace(const std::string&, std::string_view content) override
    {
        bytes = content.size();
        return {};
    }
};

void BM_RunGenerationInMemory(benchmark::State& state)
{
    const Site& site = TheSite();
    tovaro::RunInputs in;
    in.files = site.files;
    in.siteDir = site.root;
    in.webRoot = "https://www.example.org/";
    tovaro::RunSink sink;
    MemoryStore store;
    CpuTimes before = CpuTimes::Now();
    for (auto _ : state) {
        tovaro::RunResult r = tovaro::RunGeneration(store, in, sink);
        if (r.entries != site.files.size())
            state.SkipWithError("run failed");
    }
    ReportCpu(state, before);
    state.counters["files_per_s"] = benchmark::Counter(
        static_cast<double>(site.files.size()), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["page_MB"] = static_cast<double>(store.bytes) / 1e6;
}

void BM_RunGeneration(benchmark::State& state)
{
    const Site& site = TheSite();
    tovaro::RunInputs in;
    in.files = site.files;
    in.siteDir = site.root;
    in.outputPath = site.root + "/lookup.htm";
    in.webRoot = "https://www.example.org/";
    tovaro::RunSink sink;
    CpuTimes before = CpuTimes::Now();
    for (auto _ : state) {
        tovaro::RunResult r = tovaro::RunGeneration(Native(), in, sink);
        if (!r.written || r.entries != site.files.size())
            state.SkipWithError("run failed");
    }
    ReportCpu(state, before);
    state.counters["files_per_s"] = benchmark::Counter(
        static_cast<double>(site.files.size()), benchmark::Counter::kIsIterationInvariantRate);
}

// One 4 MiB line through the head scan: plain text, and text crafted to be slow for a scan
// that examines each tag to its ">" (many "<meta" without one, many "=").
std::string LineOf(const char* unit)
{
    std::string line;
    while (line.size() < (size_t { 4 } << 20))
        line += unit;
    return line;
}

void ScanLine(benchmark::State& state, const std::string& line)
{
    for (auto _ : state) {
        tovaro::PageFields f = tovaro::ExtractFields(line);
        benchmark::DoNotOptimize(f);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * line.size()));
}

void BM_ScanPlainLine(benchmark::State& state)
{
    ScanLine(state, LineOf("lorem ipsum "));
}
void BM_ScanMetaWithoutEnd(benchmark::State& state)
{
    ScanLine(state, LineOf("<meta "));
}
void BM_ScanMetaEquals(benchmark::State& state)
{
    ScanLine(state, LineOf("<meta="));
}
void BM_ScanNamePieces(benchmark::State& state)
{
    ScanLine(state, "<meta " + LineOf("name=\"keywords\"="));
}

BENCHMARK(BM_ScanPlainLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanMetaWithoutEnd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanMetaEquals)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanNamePieces)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadHeadsFloor)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_RunGenerationInMemory)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_RunGeneration)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

int main(int argc, char** argv)
{
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--pages=", 8) == 0)
            g_pages = std::strtoul(argv[i] + 8, nullptr, 10);
        else
            rest.push_back(argv[i]);
    }
    int n = static_cast<int>(rest.size());
    benchmark::Initialize(&n, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(TheSite().root, ec);
    return 0;
}
