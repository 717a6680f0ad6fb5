// Floors for the scale benchmark: reading each listed file up to its "</head>" (and nothing
// else), and the core's recursive search of a tree.
// Usage: read_heads --heads LIST-FILE | --walk DIR
#include "core/walk.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: read_heads --heads LIST | --walk DIR\n");
        return 2;
    }
    const auto t0 = std::chrono::steady_clock::now();
    size_t count = 0;
    if (std::strcmp(argv[1], "--walk") == 0) {
        count = tovaro::CollectFiles(*tovaro::MakeNativeFileSystem(), argv[2], "*.*").size();
    } else {
        std::ifstream list(argv[2]);
        std::string path;
        std::vector<char> buf(64 * 1024);
        while (std::getline(list, path)) {
            int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0)
                continue;
            ssize_t n;
            while ((n = ::read(fd, buf.data(), buf.size())) > 0) {
                if (::memmem(buf.data(), static_cast<size_t>(n), "</head>", 7) != nullptr)
                    break;
            }
            ::close(fd);
            ++count;
        }
    }
    const double ms
        = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    std::printf("%zu %.1f\n", count, ms);
    return 0;
}
