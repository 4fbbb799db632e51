#include "app/calculix.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "model/failure.h"

namespace domica {

namespace {

bool executable(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string slurp(const std::string& path, bool& ok) {
  std::ifstream in(path, std::ios::binary);
  ok = static_cast<bool>(in);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The folder and the files in it (ccx makes no sub-folders).
void remove_folder(const std::string& dir) {
  if (DIR* d = ::opendir(dir.c_str())) {
    while (dirent* e = ::readdir(d)) {
      std::string n = e->d_name;
      if (n != "." && n != "..") ::unlink((dir + "/" + n).c_str());
    }
    ::closedir(d);
  }
  ::rmdir(dir.c_str());
}

// CalculiX's own message in its log: the first line with *ERROR and the
// one after it, else the last line that is not blank.
std::string message_of(const std::string& log) {
  std::istringstream in(log);
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) {
    std::size_t a = l.find_first_not_of(" \t\r"), b = l.find_last_not_of(" \t\r");
    if (a != std::string::npos) lines.push_back(l.substr(a, b - a + 1));
  }
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find("*ERROR") != std::string::npos)
      return quoted(lines[i] + (i + 1 < lines.size() ? " " + lines[i + 1] : ""), 200);
  return lines.empty() ? "(no output)" : quoted(lines.back(), 200);
}

}  // namespace

std::string find_ccx() {
  const char* path = std::getenv("PATH");
  if (!path) return "";
  std::string all = path;
  std::size_t start = 0;
  while (start <= all.size()) {
    std::size_t end = all.find(':', start);
    if (end == std::string::npos) end = all.size();
    // An empty entry is the current folder.
    std::string exe = end == start ? std::string("./ccx") : all.substr(start, end - start) + "/ccx";
    if (executable(exe)) return exe;
    start = end + 1;
  }
  return "";
}

ccx_run run_ccx(const std::string& ccx, const std::string& text) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/domica-check-XXXXXX";
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (!::mkdtemp(buf.data()))
    throw failure(exit_solution, "CalculiX: cannot make a temporary folder " + quoted(pattern, 200) + ": " + std::strerror(errno) + "; no output written");
  const std::string dir = buf.data();
  struct cleanup {
    std::string dir;
    ~cleanup() { remove_folder(dir); }
  } clean{dir};
  {
    std::ofstream deck(dir + "/shell.inp", std::ios::binary);
    deck << text;
    deck.close();
    if (!deck) throw failure(exit_solution, "CalculiX: cannot write the deck in " + quoted(dir, 200) + "; no output written");
  }
  const std::string log = dir + "/ccx.log";
  auto t0 = std::chrono::steady_clock::now();
  pid_t pid = ::fork();
  if (pid < 0) throw failure(exit_solution, std::string("CalculiX: cannot start ccx: ") + std::strerror(errno) + "; no output written");
  if (pid == 0) {
    int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int null = ::open("/dev/null", O_RDONLY);
    if (fd < 0 || null < 0 || ::chdir(dir.c_str()) != 0) ::_exit(127);
    ::dup2(null, 0);
    ::dup2(fd, 1);
    ::dup2(fd, 2);
    ::execl(ccx.c_str(), "ccx", "-i", "shell", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) throw failure(exit_solution, std::string("CalculiX: lost ccx: ") + std::strerror(errno) + "; no output written");
  ccx_run r;
  r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  bool ok = false;
  std::string out = slurp(log, ok);
  std::string how = WIFEXITED(status) ? "status " + std::to_string(WEXITSTATUS(status))
                                      : WIFSIGNALED(status) ? "signal " + std::to_string(WTERMSIG(status)) : "an unknown end";
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || out.find("*ERROR") != std::string::npos)
    throw failure(exit_solution, "CalculiX (" + ccx + ") ended with " + how + ": " + message_of(out) + "; no output written");
  r.dat = slurp(dir + "/shell.dat", ok);
  if (!ok) throw failure(exit_solution, "CalculiX (" + ccx + ") wrote no shell.dat: " + message_of(out) + "; no output written");
  return r;
}

}  // namespace domica
