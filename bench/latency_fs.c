// A read-only view of a folder in which every open, read and folder listing answers after a
// fixed delay, as on a network share: the latency benchmark mounts the benchmark site through
// it. Other requests (lookups, attributes) answer at once and are cached by the kernel.
// Usage: latency_fs SOURCE-FOLDER MOUNT-POINT DELAY-MICROSECONDS [FUSE OPTIONS]
#define FUSE_USE_VERSION 31
#define _GNU_SOURCE

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <fuse.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

static const char* source;
static long delay_us;

static void Delay(void)
{
    struct timespec ts = { delay_us / 1000000, (delay_us % 1000000) * 1000 };
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) { }
}

static void Full(char* out, const char* path)
{
    snprintf(out, PATH_MAX, "%s%s", source, path);
}

static void* Init(struct fuse_conn_info* conn, struct fuse_config* cfg)
{
    (void)conn;
    cfg->use_ino = 1;
    cfg->entry_timeout = 3600;
    cfg->attr_timeout = 3600;
    cfg->negative_timeout = 3600;
    return NULL;
}

static int GetAttr(const char* path, struct stat* st, struct fuse_file_info* fi)
{
    (void)fi;
    char full[PATH_MAX];
    Full(full, path);
    return lstat(full, st) == 0 ? 0 : -errno;
}

static int ReadDir(const char* path, void* buf, fuse_fill_dir_t fill, off_t offset,
    struct fuse_file_info* fi, enum fuse_readdir_flags flags)
{
    (void)offset;
    (void)fi;
    (void)flags;
    Delay();
    char full[PATH_MAX];
    Full(full, path);
    DIR* d = opendir(full);
    if (d == NULL)
        return -errno;
    struct dirent* e;
    while ((e = readdir(d)) != NULL) {
        struct stat st;
        memset(&st, 0, sizeof st);
        st.st_ino = e->d_ino;
        st.st_mode = (mode_t)(e->d_type << 12);
        if (fill(buf, e->d_name, &st, 0, 0) != 0)
            break;
    }
    closedir(d);
    return 0;
}

static int Open(const char* path, struct fuse_file_info* fi)
{
    Delay();
    char full[PATH_MAX];
    Full(full, path);
    const int fd = open(full, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -errno;
    fi->fh = (uint64_t)fd;
    return 0;
}

static int Read(const char* path, char* buf, size_t size, off_t offset, struct fuse_file_info* fi)
{
    (void)path;
    Delay();
    const ssize_t n = pread((int)fi->fh, buf, size, offset);
    return n < 0 ? -errno : (int)n;
}

static int Release(const char* path, struct fuse_file_info* fi)
{
    (void)path;
    close((int)fi->fh);
    return 0;
}

static const struct fuse_operations kOperations = {
    .init = Init,
    .getattr = GetAttr,
    .readdir = ReadDir,
    .open = Open,
    .read = Read,
    .release = Release,
};

int main(int argc, char** argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: latency_fs SOURCE MOUNT-POINT DELAY-US [FUSE OPTIONS]\n");
        return 2;
    }
    source = realpath(argv[1], NULL);
    delay_us = atol(argv[3]);
    if (source == NULL)
        return 1;
    // fuse_main sees: program, mount point, then the FUSE options.
    char* args[64];
    int n = 0;
    args[n++] = argv[0];
    args[n++] = argv[2];
    for (int i = 4; i < argc && n < 63; ++i)
        args[n++] = argv[i];
    args[n] = NULL;
    return fuse_main(n, args, &kOperations, NULL);
}
