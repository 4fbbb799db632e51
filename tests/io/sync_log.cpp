// A library to preload into a program: it logs each fsync and rename of the
// program, in the order made, to the file named by SYNC_LOG, one line each:
//   fsync PATH          (fsync or fdatasync)
//   rename FROM TO
// with absolute paths (PATH the file the descriptor is open on), so that a
// test can check that every file was flushed before the first rename. A
// rename onto a file named SYNC_FAIL_RENAME (its last part) fails with
// EACCES, as onto an immutable file or another user's file in /tmp; with
// SYNC_RENAME_DELAY_MS each rename waits that long first, so that a test can
// signal the program while it renames. With SYNC_FAIL_THREADS set no thread
// can be started (pthread_create fails with EAGAIN, as under ulimit -u).
#include <dlfcn.h>
#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <errno.h>
#include <unistd.h>

#include <string>

namespace {

void log_line(const char* what, const std::string& a, const std::string& b) {
  const char* name = getenv("SYNC_LOG");
  if (name == nullptr) return;
  std::string line = std::string(what) + " " + a + (b.empty() ? "" : " " + b) + "\n";
  int fd = open(name, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return;
  ssize_t w = write(fd, line.data(), line.size());
  (void)w;
  close(fd);
}

// The path descriptor fd is open on.
std::string path_of(int fd) {
  char link[64], path[PATH_MAX];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  ssize_t n = readlink(link, path, sizeof path);
  return n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string();
}

// PATH, taken from folder `dir` (AT_FDCWD: the current one), as an absolute
// path: its folder resolved, its last part kept (it need not exist).
std::string absolute(int dir, const char* path) {
  std::string full = path;
  if (full[0] != '/') full = (dir == AT_FDCWD ? std::string(".") : path_of(dir)) + "/" + full;
  std::size_t slash = full.rfind('/');
  std::string folder = slash == 0 ? "/" : full.substr(0, slash);
  char real[PATH_MAX];
  if (realpath(folder.c_str(), real) != nullptr) folder = real;
  return (folder == "/" ? "" : folder) + full.substr(slash);
}

template <class F>
F next(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" int fsync(int fd) {
  log_line("fsync", path_of(fd), "");
  return next<int (*)(int)>("fsync")(fd);
}

extern "C" int fdatasync(int fd) {
  log_line("fsync", path_of(fd), "");
  return next<int (*)(int)>("fdatasync")(fd);
}

namespace {

void delay() {
  if (const char* ms = getenv("SYNC_RENAME_DELAY_MS")) usleep(static_cast<useconds_t>(atoi(ms)) * 1000u);
}

bool fails(const std::string& to) {
  const char* name = getenv("SYNC_FAIL_RENAME");
  if (name == nullptr) return false;
  std::string last = std::string("/") + name;
  return to.size() >= last.size() && to.compare(to.size() - last.size(), last.size(), last) == 0;
}

}  // namespace

extern "C" int rename(const char* from, const char* to) {
  log_line("rename", absolute(AT_FDCWD, from), absolute(AT_FDCWD, to));
  delay();
  if (fails(absolute(AT_FDCWD, to))) {
    errno = EACCES;
    return -1;
  }
  return next<int (*)(const char*, const char*)>("rename")(from, to);
}

extern "C" int renameat(int fromdir, const char* from, int todir, const char* to) {
  log_line("rename", absolute(fromdir, from), absolute(todir, to));
  delay();
  if (fails(absolute(todir, to))) {
    errno = EACCES;
    return -1;
  }
  return next<int (*)(int, const char*, int, const char*)>("renameat")(fromdir, from, todir, to);
}

extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attr, void* (*start)(void*), void* arg) {
  if (getenv("SYNC_FAIL_THREADS") != nullptr) return EAGAIN;
  return next<int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*)>("pthread_create")(thread, attr, start, arg);
}
