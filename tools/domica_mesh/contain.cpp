#include "tools/domica_mesh/contain.h"

#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <new>

#include "tools/netgen/net.h"

namespace domica_mesh {

namespace {

void say(const std::string& line) {
  std::fprintf(stderr, "domica_mesh: %s\n", line.c_str());
  std::fflush(stderr);
}

std::string gigabytes(double bytes) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f GB", bytes / 1e9);
  return buf;
}

bool write_all(int fd, const std::string& text) {
  const char* p = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    ssize_t w = ::write(fd, p, left);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    p += w;
    left -= static_cast<std::size_t>(w);
  }
  return true;
}

// The child: limits, make(), the text down the pipe; never returns.
[[noreturn]] void child(int out, const std::function<std::string()>& make, const limits& lim) {
  if (lim.memory > 0.0) {
    struct rlimit r;
    if (::getrlimit(RLIMIT_AS, &r) == 0 && (r.rlim_cur == RLIM_INFINITY || static_cast<double>(r.rlim_cur) > lim.memory)) {
      r.rlim_cur = static_cast<rlim_t>(lim.memory);
      ::setrlimit(RLIMIT_AS, &r);
    }
  }
  if (lim.seconds > 0) {
    struct rlimit r;
    if (::getrlimit(RLIMIT_CPU, &r) == 0 && (r.rlim_cur == RLIM_INFINITY || r.rlim_cur > static_cast<rlim_t>(lim.seconds))) {
      r.rlim_cur = static_cast<rlim_t>(lim.seconds);
      ::setrlimit(RLIMIT_CPU, &r);
    }
    ::alarm(static_cast<unsigned>(lim.seconds));
  }
  int status = 0;
  try {
    std::string text = make();
    if (!write_all(out, text)) status = 4;
  } catch (const netgen::tool_error& e) {
    say(e.message);
    status = 2;
  } catch (const std::bad_alloc&) {
    say("reading and meshing the plan needed more than the " + gigabytes(lim.memory) + " it may have");
    status = 2;
  } catch (const std::exception& e) {
    say(std::string("Gmsh failed on the plan: ") + e.what());
    status = 2;
  }
  std::fflush(stdout);
  ::close(out);
  ::_exit(status);
}

}  // namespace

limits default_limits() {
  limits lim;
  lim.seconds = 600;
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
  long pages = sysconf(_SC_PHYS_PAGES), size = sysconf(_SC_PAGESIZE);
  // A net at the node budget (checks.h) takes Gmsh about 1 GB.
  lim.memory = 4e9;
  if (pages > 0 && size > 0) lim.memory = std::fmin(lim.memory, 0.8 * static_cast<double>(pages) * static_cast<double>(size));
#endif
  return lim;
}

int contained(const std::string& plan, const std::function<std::string()>& make, const limits& lim, std::string& text) {
  // Two pipes: the net's text, and the child's standard error, passed on
  // only when the child ends by itself (a C library's words on a heap it
  // found corrupted are not the tool's line).
  int net[2], err[2];
  if (::pipe(net) != 0 || ::pipe(err) != 0) throw netgen::tool_error{std::string("cannot start the meshing: ") + std::strerror(errno), false};
  std::fflush(stdout);
  std::fflush(stderr);
  pid_t pid = ::fork();
  if (pid < 0) throw netgen::tool_error{std::string("cannot start the meshing: ") + std::strerror(errno), false};
  if (pid == 0) {
    ::close(net[0]);
    ::close(err[0]);
    ::dup2(err[1], STDERR_FILENO);
    ::close(err[1]);
    child(net[1], make, lim);
  }
  ::close(net[1]);
  ::close(err[1]);
  text.clear();
  std::string said;
  struct pollfd fds[2] = {{net[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  int open = 2;
  char buf[65536];
  while (open > 0) {
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    for (int k = 0; k < 2; ++k) {
      if (fds[k].fd < 0 || fds[k].revents == 0) continue;
      ssize_t r = ::read(fds[k].fd, buf, sizeof buf);
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) {
        ::close(fds[k].fd);
        fds[k].fd = -1;
        --open;
        continue;
      }
      (k == 0 ? text : said).append(buf, static_cast<std::size_t>(r));
    }
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) {
    std::fputs(said.c_str(), stderr);
    std::fflush(stderr);
    return WEXITSTATUS(status);
  }
  const int sig = WTERMSIG(status);
  if (sig == SIGXCPU || sig == SIGALRM)
    say(plan + ": reading and meshing the plan took more than " + std::to_string(lim.seconds) + " s; it was stopped");
  else if (sig == SIGINT || sig == SIGTERM || sig == SIGHUP)
    ::raise(sig);  // the tool itself was told to end: end the same way
  else
    say(plan + ": Gmsh failed on the plan (" + strsignal(sig) + "): a damaged or hostile file; nothing written");
  return 2;
}

}  // namespace domica_mesh
