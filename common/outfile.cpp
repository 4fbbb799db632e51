#include "common/outfile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "common/failure.h"

namespace domica {

void write_file(const std::string& path, const std::string& name, const std::string& text) {
  std::string temp = path + ".XXXXXX";
  std::vector<char> tmpl(temp.begin(), temp.end());
  tmpl.push_back('\0');
  int fd = mkstemp(tmpl.data());
  if (fd < 0) throw failure(exit_output, name + ": cannot create the file: " + std::strerror(errno));
  auto fail = [&](const char* what, int err) {
    ::close(fd);
    std::remove(tmpl.data());
    throw failure(exit_output, name + ": " + what + ": " + std::strerror(err));
  };
  const char* p = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    ssize_t w = ::write(fd, p, left);
    if (w < 0) {
      if (errno == EINTR) continue;
      fail("cannot write the file", errno);
    }
    p += w;
    left -= static_cast<std::size_t>(w);
  }
  if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) fail("cannot write the file", errno);
  // mkstemp creates the file readable by its owner only; give it the mode a
  // newly created file would have.
  mode_t mask = ::umask(0);
  ::umask(mask);
  if (::fchmod(fd, 0666 & ~mask) != 0) fail("cannot write the file", errno);
  if (::close(fd) != 0) {
    int err = errno;
    std::remove(tmpl.data());
    throw failure(exit_output, name + ": cannot write the file: " + std::strerror(err));
  }
  if (std::rename(tmpl.data(), path.c_str()) != 0) {
    int err = errno;
    std::remove(tmpl.data());
    throw failure(exit_output, name + ": cannot replace the file: " + std::strerror(err));
  }
}

}  // namespace domica
