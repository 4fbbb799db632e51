#include "solver/dense.h"

#include <unistd.h>

#include <cstdio>
#include <new>
#include <string>

#include "common/failure.h"
#include "solver/lu.h"

namespace domica {

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

}  // namespace

double dense_tangent::bytes(int n) { return 8.0 * static_cast<double>(n) * static_cast<double>(n); }

void check_tangent_memory(int n) {
  double bytes = dense_tangent::bytes(n);
  long pages = sysconf(_SC_PHYS_PAGES), size = sysconf(_SC_PAGESIZE);
  if (pages > 0 && size > 0) {
    double memory = static_cast<double>(pages) * static_cast<double>(size);
    if (bytes > 0.8 * memory) too_large(n, bytes, "more than this machine's memory (" + gigabytes(memory) + ")");
  }
}

dense_tangent::dense_tangent(int n) : n_(n) {
  check_tangent_memory(n);
  try {
    a_ = fmat2(n, n);
  } catch (const std::bad_alloc&) {
    too_large(n, bytes(n), "more than can be allocated");
  }
}

int dense_tangent::solve(fmat1& b) { return solvelu(n_, a_, b); }

}  // namespace domica
