#include "domica_2/solution.h"

#include <unistd.h>

#include <cmath>
#include <new>
#include <string>

#include "common/ansys.h"
#include "common/failure.h"
#include "common/input.h"
#include "common/report.h"
#include "common/results.h"
#include "common/setup.h"
#include "domica_2/solvelu.h"
#include "domica_2/structure.h"

namespace domica {

void start2(model& m) {
  number(m);
  plan(m);
  selfweight(m, m.maxweight, m.maxforce);
  coefficients(m);
  m.x = fmat1(1, m.n);
}

double tangent_bytes(int n) { return 8.0 * static_cast<double>(n) * static_cast<double>(n); }

namespace {

std::string gigabytes(double bytes) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f GB", bytes / 1e9);
  return buf;
}

[[noreturn]] void too_large(int n, double bytes, const std::string& why) {
  throw failure(exit_input, "the net has n = " + std::to_string(n) + " unknowns; the Newton tangent needs " + gigabytes(bytes) +
                                " (8 n^2 bytes), " + why);
}

bool finite_all(int n, const fmat1& v) {
  for (int k = 1; k <= n; ++k)
    if (!std::isfinite(v(k))) return false;
  return true;
}

}  // namespace

void check_tangent_memory(int n) {
  double bytes = tangent_bytes(n);
  long pages = sysconf(_SC_PHYS_PAGES), size = sysconf(_SC_PAGESIZE);
  if (pages > 0 && size > 0) {
    double memory = static_cast<double>(pages) * static_cast<double>(size);
    if (bytes > 0.8 * memory) too_large(n, bytes, "more than this machine's memory (" + gigabytes(memory) + ")");
  }
}

void solution(model& m, std::FILE* out) {
  const int n = m.n;
  check_tangent_memory(n);
  fmat1 force, r;
  fmat2 s;
  try {
    force = fmat1(1, n);
    r = fmat1(1, n);
    s = fmat2(1, n, 1, n);
  } catch (const std::bad_alloc&) {
    too_large(n, tangent_bytes(n), "more than can be allocated");
  }
  fmat1& x = m.x;
  x.fill(0.0);
  for (int major = 1; major <= m.maxmajor; ++major) {
    double factor = static_cast<double>(major) / static_cast<double>(m.maxmajor);
    for (int glob = 1; glob <= m.nn; ++glob)
      for (int axis = 1; axis <= 3; ++axis) {
        int k = m.index(glob, axis);
        if (k <= n) force(k) = factor * m.maxforce(glob, axis);
      }
    double pressure = factor * m.maxpressure;
    structure(m, n, pressure, force, x, r, s);
    double maxnorm = 0.0;
    for (int k = 1; k <= n; ++k)
      if (std::fabs(r(k)) > maxnorm) maxnorm = std::fabs(r(k));
    maxnorm = maxnorm * m.mntol;
    int minor = 0;
    while (minor < m.maxminor && unbalance(n, maxnorm, r)) {
      minor = minor + 1;
      // Only a failure needs the words, so they are made only then.
      auto where = [&] { return "at load step " + std::to_string(major) + ", iteration " + std::to_string(minor); };
      int column = solvelu(n, s, r);
      if (column != 0) {
        std::string why = "the tangent is singular " + where() + " (zero pivot in column " + std::to_string(column) + ")";
        if (major == 1 && minor == 1 && m.maxpressure == 0.0)
          why += ": the net has no pressure, so nothing resists the first vertical motion of the flat net"
                 " (domica_1 or domica_3 find such forms)";
        throw failure(exit_solution, why + "; no output written");
      }
      if (!finite_all(n, r))
        throw failure(exit_solution, "the Newton correction is not finite " + where() + "; no output written");
      for (int i = 1; i <= n; ++i) x(i) = x(i) - r(i);
      if (!finite_all(n, x))
        throw failure(exit_solution, "the displacements are not finite " + where() + "; no output written");
      structure(m, n, pressure, force, x, r, s);
      if (!finite_all(n, r))
        throw failure(exit_solution, "the out-of-balance forces are not finite " + where() + "; no output written");
    }
    std::fputs(unbalance(n, maxnorm, r) ? not_attained_line(major).c_str() : major_line(major, minor).c_str(), out);
    std::fflush(out);
  }
}

void run2() {
  model m;
  m.variant = program::domica_2;
  // 1. Read the problem and the shell data (both checked before any work).
  input(m);
  shell_rec shell = read_shell();
  // 2. Set up the net.
  start2(m);
  // 3. Newton solution in load steps.
  m.clock1 = std::chrono::steady_clock::now();
  solution(m);
  print_elapsed(seconds_since(m.clock1));
  // 4. Write the results.
  write_results(m, shell);
}

}  // namespace domica
