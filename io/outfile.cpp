#include "io/outfile.h"

#include <fcntl.h>
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

// A target that is a directory would make its rename fail after others had
// been done: refuse it before anything is renamed.
void check_target(const out_file& f) {
  struct stat st;
  if (::stat(f.path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) output_error(f.name, "cannot replace the file", EISDIR);
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
  // The renames go together: a signal now waits until all are done.
  signals_blocked guard;
  for (std::size_t i = 0; i < set.size(); ++i) {
    int k = made[i];
    if (std::rename(temps[k].path, set[i].path.c_str()) != 0) {
      int err = errno;
      for (std::size_t j = i; j < set.size(); ++j) drop_temp(made[j], true);
      output_error(set[i].name, "cannot replace the file", err);
    }
    drop_temp(k, false);
  }
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
