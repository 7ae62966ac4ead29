/* Loaded into a process with LD_PRELOAD: counts the calls that change files
 * (write, pwrite, fsync, rename, unlink ... on regular files) and kills the
 * process with SIGKILL just before call number DERSLIK_KILL_AT_WRITE, so that
 * calls 1 .. N-1 took effect and call N and everything after did not.
 * With DERSLIK_WRITE_COUNT_FILE set, the number of calls made is written to
 * that file when the process exits normally (the counting run). Writes to pipes,
 * terminals and event descriptors do not count: they change no file and their
 * number varies from run to run. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

static atomic_long calls;
static long killAt;

__attribute__((constructor)) static void setUp(void) {
  const char* at = getenv("DERSLIK_KILL_AT_WRITE");
  killAt = at ? atol(at) : 0;
}

__attribute__((destructor)) static void report(void) {
  const char* path = getenv("DERSLIK_WRITE_COUNT_FILE");
  if (!path) return;
  char text[32];
  const int n = snprintf(text, sizeof text, "%ld\n", (long)atomic_load(&calls));
  const int fd = (int)syscall(SYS_openat, AT_FDCWD, path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return;
  if (syscall(SYS_write, fd, text, (size_t)n) < 0) { /* nothing to do about it */
  }
  syscall(SYS_close, fd);
}

static void counted(void) {
  const long n = atomic_fetch_add(&calls, 1) + 1;
  if (killAt > 0 && n == killAt) {
    kill(getpid(), SIGKILL);
    for (;;) pause();
  }
}

static int regularFile(int fd) {
  struct stat st;
  return fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

static void* next(const char* name) { return dlsym(RTLD_NEXT, name); }

#define FORWARD(type, name, params, args, check)   \
  type name params {                               \
    static type(*real) params;                     \
    if (!real) real = (type(*) params)next(#name); \
    if (check) counted();                          \
    return real args;                              \
  }

FORWARD(ssize_t, write, (int fd, const void* b, size_t n), (fd, b, n), regularFile(fd))
FORWARD(ssize_t, writev, (int fd, const struct iovec* v, int n), (fd, v, n), regularFile(fd))
FORWARD(ssize_t, pwrite, (int fd, const void* b, size_t n, off_t o), (fd, b, n, o), regularFile(fd))
FORWARD(ssize_t, pwrite64, (int fd, const void* b, size_t n, off64_t o), (fd, b, n, o),
        regularFile(fd))
FORWARD(int, ftruncate, (int fd, off_t n), (fd, n), 1)
FORWARD(int, ftruncate64, (int fd, off64_t n), (fd, n), 1)
FORWARD(int, fsync, (int fd), (fd), 1)
FORWARD(int, fdatasync, (int fd), (fd), 1)
FORWARD(int, rename, (const char* a, const char* b), (a, b), 1)
FORWARD(int, renameat, (int d1, const char* a, int d2, const char* b), (d1, a, d2, b), 1)
FORWARD(int, renameat2, (int d1, const char* a, int d2, const char* b, unsigned f),
        (d1, a, d2, b, f), 1)
FORWARD(int, link, (const char* a, const char* b), (a, b), 1)
FORWARD(int, linkat, (int d1, const char* a, int d2, const char* b, int f), (d1, a, d2, b, f), 1)
FORWARD(int, unlink, (const char* p), (p), 1)
FORWARD(int, unlinkat, (int d, const char* p, int f), (d, p, f), 1)
