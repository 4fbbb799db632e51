#include "numerics/memory.h"

#include <unistd.h>

#include <cstdio>

#include "model/failure.h"

namespace domica {

namespace {

std::string gigabytes(double bytes) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f GB", bytes / 1e9);
  return buf;
}

}  // namespace

void too_large(int n, double bytes, const std::string& what, const std::string& why, const std::string& rule) {
  throw failure(exit_input, "the net has n = " + std::to_string(n) + " unknowns; " + what + " needs " + gigabytes(bytes) +
                                (rule.empty() ? "" : " (" + rule + ")") + ", " + why);
}

void check_memory(int n, double bytes, const std::string& what, const std::string& rule) {
  long pages = sysconf(_SC_PHYS_PAGES), size = sysconf(_SC_PAGESIZE);
  if (pages > 0 && size > 0) {
    double memory = static_cast<double>(pages) * static_cast<double>(size);
    if (bytes > 0.8 * memory) too_large(n, bytes, what, "more than this machine's memory (" + gigabytes(memory) + ")", rule);
  }
}

}  // namespace domica
