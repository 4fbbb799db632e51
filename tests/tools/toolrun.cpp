#include "tests/tools/toolrun.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace test {

run_result run_tool(const std::string& exe, const std::string& args, const std::string& dir) {
  std::string command = "cd '" + dir + "' && '" + exe + "' " + args + " </dev/null >.stdout 2>.stderr";
  int raw = std::system(command.c_str());
  run_result r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  r.out = read(dir + "/.stdout");
  r.err = read(dir + "/.stderr");
  std::filesystem::remove(dir + "/.stdout");
  std::filesystem::remove(dir + "/.stderr");
  return r;
}

std::string first_line(const std::string& text) { return text.substr(0, text.find('\n')); }

net_areas areas(const domica::problem& m) {
  net_areas a;
  a.smallest = 1e300;
  for (int e = 1; e <= m.nt.ne; ++e) {
    int i = m.nt.tri(e)(1), j = m.nt.tri(e)(2), k = m.nt.tri(e)(3);
    double area = ((m.nt.xo(j) - m.nt.xo(i)) * (m.nt.yo(k) - m.nt.yo(i)) - (m.nt.xo(k) - m.nt.xo(i)) * (m.nt.yo(j) - m.nt.yo(i))) / 2;
    a.total += area;
    a.smallest = std::min(a.smallest, area);
  }
  return a;
}

int node_band(const domica::problem& m) {
  int band = 0;
  for (int e = 1; e <= m.nt.ne; ++e) {
    const auto& g = m.nt.tri(e);
    band = std::max(band, std::max({g(1), g(2), g(3)}) - std::min({g(1), g(2), g(3)}));
  }
  return band;
}

}  // namespace test
