// A view of a folder that fails as shares fail, for the tests of the real programs: listings
// without entry types, entries whose attributes cannot be read, listings cut short by ENOENT
// (which glibc's readdir takes for the end), listings that give each entry twice, file creation
// that hangs, and reads that fail part-way. Nothing is cached, so every request reaches it.
// Usage: fault_fs SOURCE MOUNT-POINT [FAULT...] -- [FUSE OPTIONS]
//   --no-types              listings give no entry types (DT_UNKNOWN)
//   --fail-attr NAME:ERRNO  examining an entry called NAME fails with that error number
//   --cut-listing NAME:N    the listing of a folder called NAME fails with ENOENT after N entries
//   --twice                 listings give each entry twice
//   --hang-create SECONDS   creating a file first waits that long; a request interrupted
//                           meanwhile (its process is ended) fails without creating the file
//   --deaf                  such a wait goes on when its request is interrupted, and the file
//                           is created after its process has ended
//   --fail-read NAME:BYTES  reading the file called NAME fails with EIO from that offset on
#define FUSE_USE_VERSION 31
#define _GNU_SOURCE

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <fuse.h>
#include <limits.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

static const char* source;
static int noTypes;
static int twice;
static long hangCreate;
static int deaf;
static char failAttrName[NAME_MAX + 1];
static int failAttrErrno;
static char cutName[NAME_MAX + 1];
static long cutAfter = -1;
static char failReadName[NAME_MAX + 1];
static long failReadFrom = -1;

static void Full(char* out, const char* path)
{
    snprintf(out, PATH_MAX, "%s%s", source, path);
}

static const char* Base(const char* path)
{
    const char* slash = strrchr(path, '/');
    return slash ? slash + 1 : path;
}

static void* Init(struct fuse_conn_info* conn, struct fuse_config* cfg)
{
    conn->want &= ~FUSE_CAP_READDIRPLUS;
    cfg->use_ino = 1;
    cfg->entry_timeout = 0;
    cfg->attr_timeout = 0;
    cfg->negative_timeout = 0;
    cfg->direct_io = 1; // a short read is a short read, not the end of the file
    cfg->intr = 1; // a request of a process that is ended is interrupted, as a share's would be
    return NULL;
}

static int GetAttr(const char* path, struct stat* st, struct fuse_file_info* fi)
{
    (void)fi;
    if (failAttrErrno != 0 && strcmp(Base(path), failAttrName) == 0)
        return -failAttrErrno;
    char full[PATH_MAX];
    Full(full, path);
    return lstat(full, st) == 0 ? 0 : -errno;
}

static int ReadLink(const char* path, char* buf, size_t size)
{
    char full[PATH_MAX];
    Full(full, path);
    const ssize_t n = readlink(full, buf, size - 1);
    if (n < 0)
        return -errno;
    buf[n] = '\0';
    return 0;
}

// Offsets count the entries given so far (from 1), so that a listing goes on where it stopped.
static int ReadDir(const char* path, void* buf, fuse_fill_dir_t fill, off_t offset,
    struct fuse_file_info* fi, enum fuse_readdir_flags flags)
{
    (void)fi;
    (void)flags;
    char full[PATH_MAX];
    Full(full, path);
    DIR* d = opendir(full);
    if (d == NULL)
        return -errno;
    const long cut = strcmp(Base(path), cutName) == 0 ? cutAfter : -1;
    if (cut >= 0 && offset >= cut) {
        closedir(d);
        return -ENOENT;
    }
    long given = 0;
    struct dirent* e;
    while ((e = readdir(d)) != NULL) {
        if (strcmp(e->d_name, ".") == 0 || strcmp(e->d_name, "..") == 0)
            continue;
        struct stat st;
        memset(&st, 0, sizeof st);
        st.st_ino = e->d_ino;
        st.st_mode = noTypes ? 0 : (mode_t)(e->d_type << 12);
        for (int copy = 0; copy < (twice ? 2 : 1); ++copy) {
            ++given;
            if (given <= offset)
                continue;
            if (cut >= 0 && given > cut) {
                closedir(d);
                return 0; // what fits is given; the next request fails
            }
            if (fill(buf, e->d_name, &st, given, 0) != 0) {
                closedir(d);
                return 0;
            }
        }
    }
    closedir(d);
    return 0;
}

static int Open(const char* path, struct fuse_file_info* fi)
{
    char full[PATH_MAX];
    Full(full, path);
    const int fd = open(full, fi->flags & ~O_NOFOLLOW);
    if (fd < 0)
        return -errno;
    fi->fh = (uint64_t)fd;
    return 0;
}

static int Create(const char* path, mode_t mode, struct fuse_file_info* fi)
{
    for (long waited = 0; waited < hangCreate * 1000; waited += 10) {
        if (!deaf && fuse_interrupted())
            return -EINTR;
        struct timespec ts = { 0, 10 * 1000 * 1000 };
        nanosleep(&ts, NULL);
    }
    char full[PATH_MAX];
    Full(full, path);
    const int fd = open(full, fi->flags, mode);
    if (fd < 0)
        return -errno;
    fi->fh = (uint64_t)fd;
    return 0;
}

static int Read(const char* path, char* buf, size_t size, off_t offset, struct fuse_file_info* fi)
{
    if (failReadFrom >= 0 && strcmp(Base(path), failReadName) == 0) {
        if (offset >= failReadFrom)
            return -EIO;
        if (offset + (off_t)size > failReadFrom)
            size = (size_t)(failReadFrom - offset);
    }
    const ssize_t n = pread((int)fi->fh, buf, size, offset);
    return n < 0 ? -errno : (int)n;
}

static int Write(
    const char* path, const char* buf, size_t size, off_t offset, struct fuse_file_info* fi)
{
    (void)path;
    const ssize_t n = pwrite((int)fi->fh, buf, size, offset);
    return n < 0 ? -errno : (int)n;
}

static int Release(const char* path, struct fuse_file_info* fi)
{
    (void)path;
    close((int)fi->fh);
    return 0;
}

static int Fsync(const char* path, int datasync, struct fuse_file_info* fi)
{
    (void)path;
    return (datasync ? fdatasync((int)fi->fh) : fsync((int)fi->fh)) == 0 ? 0 : -errno;
}

static int Rename(const char* from, const char* to, unsigned int flags)
{
    if (flags != 0)
        return -EINVAL;
    char a[PATH_MAX], b[PATH_MAX];
    Full(a, from);
    Full(b, to);
    return rename(a, b) == 0 ? 0 : -errno;
}

static int Unlink(const char* path)
{
    char full[PATH_MAX];
    Full(full, path);
    return unlink(full) == 0 ? 0 : -errno;
}

static int Chmod(const char* path, mode_t mode, struct fuse_file_info* fi)
{
    (void)fi;
    char full[PATH_MAX];
    Full(full, path);
    return chmod(full, mode) == 0 ? 0 : -errno;
}

static int Chown(const char* path, uid_t uid, gid_t gid, struct fuse_file_info* fi)
{
    (void)fi;
    char full[PATH_MAX];
    Full(full, path);
    return lchown(full, uid, gid) == 0 ? 0 : -errno;
}

static int Truncate(const char* path, off_t size, struct fuse_file_info* fi)
{
    if (fi != NULL)
        return ftruncate((int)fi->fh, size) == 0 ? 0 : -errno;
    char full[PATH_MAX];
    Full(full, path);
    return truncate(full, size) == 0 ? 0 : -errno;
}

static const struct fuse_operations kOperations = {
    .init = Init,
    .getattr = GetAttr,
    .readlink = ReadLink,
    .readdir = ReadDir,
    .open = Open,
    .create = Create,
    .read = Read,
    .write = Write,
    .release = Release,
    .fsync = Fsync,
    .rename = Rename,
    .unlink = Unlink,
    .chmod = Chmod,
    .chown = Chown,
    .truncate = Truncate,
};

static void Wake(int sig)
{
    (void)sig;
}

// "NAME:NUMBER" into its two parts.
static int NameAndNumber(const char* arg, char* name, long* number)
{
    const char* colon = strrchr(arg, ':');
    if (colon == NULL || colon == arg || (size_t)(colon - arg) > NAME_MAX)
        return 0;
    memcpy(name, arg, (size_t)(colon - arg));
    name[colon - arg] = '\0';
    *number = atol(colon + 1);
    return 1;
}

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: fault_fs SOURCE MOUNT-POINT [FAULT...] -- [FUSE OPTIONS]\n");
        return 2;
    }
    source = realpath(argv[1], NULL);
    if (source == NULL)
        return 1;
    char* args[64];
    int n = 0;
    args[n++] = argv[0];
    args[n++] = argv[2];
    int i = 3;
    for (; i < argc && strcmp(argv[i], "--") != 0; ++i) {
        long number = 0;
        if (strcmp(argv[i], "--no-types") == 0) {
            noTypes = 1;
        } else if (strcmp(argv[i], "--twice") == 0) {
            twice = 1;
        } else if (strcmp(argv[i], "--deaf") == 0) {
            deaf = 1;
        } else if (strcmp(argv[i], "--hang-create") == 0 && i + 1 < argc) {
            hangCreate = atol(argv[++i]);
        } else if (strcmp(argv[i], "--fail-attr") == 0 && i + 1 < argc
            && NameAndNumber(argv[++i], failAttrName, &number)) {
            failAttrErrno = (int)number;
        } else if (strcmp(argv[i], "--cut-listing") == 0 && i + 1 < argc
            && NameAndNumber(argv[++i], cutName, &number)) {
            cutAfter = number;
        } else if (strcmp(argv[i], "--fail-read") == 0 && i + 1 < argc
            && NameAndNumber(argv[++i], failReadName, &number)) {
            failReadFrom = number;
        } else {
            fprintf(stderr, "fault_fs: unknown fault %s\n", argv[i]);
            return 2;
        }
    }
    for (++i; i < argc && n < 63; ++i)
        args[n++] = argv[i];
    args[n] = NULL;
    // An interrupted request is told to its thread by SIGUSR1, which must not end the daemon.
    struct sigaction wake;
    memset(&wake, 0, sizeof wake);
    wake.sa_handler = Wake;
    sigaction(SIGUSR1, &wake, NULL);
    return fuse_main(n, args, &kOperations, NULL);
}
