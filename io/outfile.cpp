#include "io/outfile.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "model/failure.h"

namespace domica {

namespace {

// The temporary files of this process, readable from a signal handler: a
// name is entered and removed with SIGINT and SIGTERM blocked, and slots are
// taken and given back under a lock, since several threads may write sets.
struct temp_slot {
  char path[4096];
  volatile sig_atomic_t used;
};
constexpr int max_temps = 16;
temp_slot temps[max_temps];
std::mutex slots;

class signals_blocked {
 public:
  signals_blocked() {
    sigset_t s;
    sigemptyset(&s);
    sigaddset(&s, SIGINT);
    sigaddset(&s, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &s, &old_);
  }
  ~signals_blocked() { pthread_sigmask(SIG_SETMASK, &old_, nullptr); }
  signals_blocked(const signals_blocked&) = delete;
  signals_blocked& operator=(const signals_blocked&) = delete;

 private:
  sigset_t old_;
};

[[noreturn]] void output_error(const std::string& name, const char* what, int err) {
  throw failure(exit_output, name + ": " + what + ": " + std::strerror(err));
}

// A temporary file beside `path`, open for writing; returns its slot.
int create_temp(const out_file& f, int& fd) {
  signals_blocked guard;
  std::lock_guard<std::mutex> lock(slots);
  int k = 0;
  while (k < max_temps && temps[k].used) ++k;
  std::string name = f.path + ".XXXXXX";
  if (k == max_temps || name.size() >= sizeof temps[k].path) output_error(f.name, "cannot create the file", ENAMETOOLONG);
  std::memcpy(temps[k].path, name.c_str(), name.size() + 1);
  fd = ::mkstemp(temps[k].path);
  if (fd < 0) output_error(f.name, "cannot create the file", errno);
  temps[k].used = 1;
  return k;
}

void drop_temp(int k, bool remove) {
  signals_blocked guard;
  std::lock_guard<std::mutex> lock(slots);
  if (remove) ::unlink(temps[k].path);
  temps[k].used = 0;
}

std::string folder_of(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A target whose rename would fail after others had been done: a directory,
// a file marked immutable or append-only (chattr +i, +a), another user's
// file in a sticky folder such as /tmp, a mount point (a bind mount on the
// file). Refused before anything is renamed, and before a solution starts.
void check_target(const out_file& f) {
  struct stat st;
  if (::lstat(f.path.c_str(), &st) != 0) return;  // a new file: the folder's own checks (create_temp) suffice
  if (S_ISDIR(st.st_mode)) output_error(f.name, "cannot replace the file", EISDIR);
  if (S_ISREG(st.st_mode)) {
    int fd = ::open(f.path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
      int flags = 0;
      bool fixed = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & (FS_IMMUTABLE_FL | FS_APPEND_FL)) != 0;
      ::close(fd);
      if (fixed) throw failure(exit_output, f.name + ": cannot replace the file: it is immutable or append-only (chattr)");
    }
  }
  const std::string folder = folder_of(f.path);
  struct stat dir;
  if (::stat(folder.c_str(), &dir) == 0 && (dir.st_mode & S_ISVTX) != 0 && ::geteuid() != 0 && st.st_uid != ::geteuid() &&
      dir.st_uid != ::geteuid())
    throw failure(exit_output, f.name + ": cannot replace the file: it is another user's, in a folder only owners may change");
  struct statx at, in;
  if (::statx(AT_FDCWD, f.path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_MNT_ID, &at) == 0 &&
      ::statx(AT_FDCWD, folder.c_str(), 0, STATX_MNT_ID, &in) == 0 && (at.stx_mask & in.stx_mask & STATX_MNT_ID) != 0 &&
      at.stx_mnt_id != in.stx_mnt_id)
    output_error(f.name, "cannot replace the file (something is mounted on it)", EBUSY);
}

// The folder of a set, locked (flock) while its files are put in place, so
// that two runs in one folder never mix their sets: the second waits for the
// first's renames, a few milliseconds, and its set then replaces the first
// whole. Where the folder cannot be locked (no flock on its file system) the
// set goes in unlocked.
class folder_lock {
 public:
  explicit folder_lock(const std::string& folder) : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ >= 0)
      while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
      }
  }
  ~folder_lock() {
    if (fd_ >= 0) ::close(fd_);
  }
  folder_lock(const folder_lock&) = delete;
  folder_lock& operator=(const folder_lock&) = delete;

 private:
  int fd_;
};

// The earlier file at a target: whether there was one and a second name for
// it (a hard link beside it) to put back should a later rename of the set
// fail; the name is "" where the file system has no hard links.
struct earlier_file {
  bool existed = false;
  std::string name;
};

earlier_file keep_earlier(const std::string& path) {
  earlier_file e;
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return e;
  e.existed = true;
  for (int tries = 0; tries < 16; ++tries) {
    std::string name = path + ".XXXXXX";
    int fd = ::mkstemp(name.data());
    if (fd < 0) return e;
    ::close(fd);
    ::unlink(name.c_str());
    if (::link(path.c_str(), name.c_str()) == 0) {
      e.name = name;
      return e;
    }
    if (errno != EEXIST) return e;
  }
  return e;
}

void write_all(int fd, const out_file& f) {
  const char* p = f.text.data();
  std::size_t left = f.text.size();
  while (left > 0) {
    ssize_t w = ::write(fd, p, left);
    if (w < 0) {
      if (errno == EINTR) continue;
      output_error(f.name, "cannot write the file", errno);
    }
    p += w;
    left -= static_cast<std::size_t>(w);
  }
  if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) output_error(f.name, "cannot write the file", errno);
  // mkstemp creates the file readable by its owner only; give it the mode a
  // newly created file would have.
  mode_t mask = ::umask(0);
  ::umask(mask);
  if (::fchmod(fd, 0666 & ~mask) != 0) output_error(f.name, "cannot write the file", errno);
}

}  // namespace

void write_set(const std::vector<out_file>& set) {
  std::vector<int> made;
  try {
    for (const out_file& f : set) {
      check_target(f);
      int fd = -1;
      made.push_back(create_temp(f, fd));
      try {
        write_all(fd, f);
      } catch (...) {
        ::close(fd);
        throw;
      }
      if (::close(fd) != 0) output_error(f.name, "cannot write the file", errno);
    }
  } catch (...) {
    for (int k : made) drop_temp(k, true);
    throw;
  }
  if (set.empty()) return;
  // The renames go together: another run's set waits for them, and a signal
  // waits until they are done or undone (the energy's workers never take it).
  folder_lock lock(folder_of(set.front().path));
  signals_blocked guard;
  std::vector<earlier_file> kept;
  for (const out_file& f : set) kept.push_back(keep_earlier(f.path));
  auto forget_kept = [&] {
    for (const earlier_file& e : kept)
      if (!e.name.empty()) ::unlink(e.name.c_str());
  };
  for (std::size_t i = 0; i < set.size(); ++i) {
    int k = made[i];
    if (std::rename(temps[k].path, set[i].path.c_str()) != 0) {
      int err = errno;
      for (std::size_t j = i; j < set.size(); ++j) drop_temp(made[j], true);
      // Put the files already replaced back as they were: the earlier file
      // under its second name, or no file where there was none.
      bool whole = true;
      for (std::size_t j = 0; j < i; ++j) {
        earlier_file& e = kept[j];
        if (!e.existed) whole = ::unlink(set[j].path.c_str()) == 0 && whole;
        else if (e.name.empty()) whole = false;
        else if (std::rename(e.name.c_str(), set[j].path.c_str()) == 0) e.name.clear();
        else whole = false;
      }
      forget_kept();
      throw failure(exit_output, set[i].name + ": cannot replace the file: " + std::strerror(err) +
                                     (i == 0  ? ""
                                      : whole ? "; the files replaced before it are put back as they were"
                                              : "; the earlier results could not all be put back"));
    }
    drop_temp(k, false);
  }
  forget_kept();
}

void write_file(const std::string& path, const std::string& name, const std::string& text) { write_set({{path, name, text}}); }

void probe_outputs(const std::vector<out_file>& set) {
  for (const out_file& f : set) {
    check_target(f);
    int fd = -1;
    int k = create_temp(f, fd);
    ::close(fd);
    drop_temp(k, true);
  }
}

std::string in_folder(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

void remove_temporary_files() {
  for (temp_slot& t : temps)
    if (t.used) ::unlink(t.path);
}

}  // namespace domica
