#include "numerics/memory.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>

#include "model/failure.h"

namespace domica {

namespace {

// Gigabytes to two figures; an amount that is not known (a negative or NaN
// estimate) as "an unknown amount".
std::string gigabytes(double bytes) {
  if (!(bytes >= 0.0)) return "an unknown amount";
  char buf[32];
  std::snprintf(buf, sizeof buf, bytes < 1e8 ? "%.2f GB" : "%.1f GB", bytes / 1e9);
  return buf;
}

}  // namespace

void too_large(int n, double bytes, const std::string& what, const std::string& why, const std::string& rule) {
  throw failure(exit_input, "the net has n = " + std::to_string(n) + " unknowns; " + what + " needs " + gigabytes(bytes) +
                                (rule.empty() ? "" : " (" + rule + ")") + ", " + why);
}

void check_memory(int n, double bytes, const std::string& what, const std::string& rule, double beside) {
  long pages = sysconf(_SC_PHYS_PAGES), size = sysconf(_SC_PAGESIZE);
  if (pages > 0 && size > 0) {
    double memory = static_cast<double>(pages) * static_cast<double>(size);
    if (bytes > 0.8 * memory) too_large(n, bytes, what, "more than this machine's memory (" + gigabytes(memory) + ")", rule);
  }
  // Under an address-space limit (ulimit -v) what is left of it (the limit
  // less what the process has mapped, /proc/self/statm) must hold the matrix
  // and what is mapped beside it, or an allocation deep in a factorisation
  // fails (or, in the BLAS, is retried for ever).
  struct rlimit lim;
  if (::getrlimit(RLIMIT_AS, &lim) == 0 && lim.rlim_cur != RLIM_INFINITY && size > 0) {
    double mapped = 0.0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
      unsigned long total = 0;
      if (std::fscanf(f, "%lu", &total) == 1) mapped = static_cast<double>(total) * static_cast<double>(size);
      std::fclose(f);
    }
    double left = static_cast<double>(lim.rlim_cur) - mapped;
    if (bytes + beside > left)
      too_large(n, bytes, what,
                "more than the address space left under ulimit -v (" + gigabytes(std::fmax(left, 0.0)) + " of " +
                    gigabytes(static_cast<double>(lim.rlim_cur)) + (beside > 0.0 ? ", and the BLAS needs " + gigabytes(beside) + " beside)" : ")"),
                rule);
  }
}

}  // namespace domica
