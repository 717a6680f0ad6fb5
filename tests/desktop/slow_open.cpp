// Preloaded into the wizard by the desktop test: opening a page below a folder named "langsam"
// takes 10 ms, one at a time, as on a slow network share, so that a run lasts long enough to be
// interrupted. Every other open is left alone.
#include <cstdarg>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>

namespace {

pthread_mutex_t one_at_a_time = PTHREAD_MUTEX_INITIALIZER;

void wait_if_slow(const char* path)
{
    if (path == nullptr || std::strstr(path, "/langsam/") == nullptr
        || std::strstr(path, ".htm") == nullptr)
        return;
    const struct timespec ten_ms = { 0, 10 * 1000 * 1000 };
    pthread_mutex_lock(&one_at_a_time);
    nanosleep(&ten_ms, nullptr);
    pthread_mutex_unlock(&one_at_a_time);
}

mode_t mode_of(int flags, va_list ap)
{
    return (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<mode_t>(va_arg(ap, int)) : 0;
}

} // namespace

#define WRAP_OPEN(name)                                                                            \
    extern "C" int name(const char* path, int flags, ...)                                          \
    {                                                                                              \
        static int (*real)(const char*, int, ...);                                                 \
        va_list ap;                                                                                \
        va_start(ap, flags);                                                                       \
        const mode_t mode = mode_of(flags, ap);                                                    \
        va_end(ap);                                                                                \
        if (real == nullptr)                                                                       \
            real = reinterpret_cast<int (*)(const char*, int, ...)>(dlsym(RTLD_NEXT, #name));      \
        wait_if_slow(path);                                                                        \
        return real(path, flags, mode);                                                            \
    }

#define WRAP_OPENAT(name)                                                                          \
    extern "C" int name(int dir, const char* path, int flags, ...)                                 \
    {                                                                                              \
        static int (*real)(int, const char*, int, ...);                                            \
        va_list ap;                                                                                \
        va_start(ap, flags);                                                                       \
        const mode_t mode = mode_of(flags, ap);                                                    \
        va_end(ap);                                                                                \
        if (real == nullptr)                                                                       \
            real = reinterpret_cast<int (*)(int, const char*, int, ...)>(dlsym(RTLD_NEXT, #name)); \
        wait_if_slow(path);                                                                        \
        return real(dir, path, flags, mode);                                                       \
    }

WRAP_OPEN(open)
WRAP_OPEN(open64)
WRAP_OPENAT(openat)
WRAP_OPENAT(openat64)
