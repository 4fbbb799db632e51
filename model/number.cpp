#include "model/number.h"

#include <algorithm>

namespace domica {

numbering number(const net& nt) {
  numbering d;
  d.n = 3 * nt.nn;
  for (int glob = 1; glob <= nt.nn; ++glob)
    for (int axis = 1; axis <= 3; ++axis)
      if (nt.fixed(glob, axis) == 1) d.n = d.n - 1;
  d.index = imat2(nt.nn, 3);
  int s1 = 0, s2 = d.n;
  for (int glob = 1; glob <= nt.nn; ++glob)
    for (int axis = 1; axis <= 3; ++axis)
      d.index(glob, axis) = nt.fixed(glob, axis) == 0 ? ++s1 : ++s2;
  return d;
}

int bandwidth(const net& nt, const numbering& d) {
  int band = 0;
  for (int e = 1; e <= nt.ne; ++e) {
    int lo = d.n + 1, hi = 0;
    for (int loc = 1; loc <= 3; ++loc)
      for (int axis = 1; axis <= 3; ++axis) {
        int i = d.index(nt.tri(e)(loc), axis);
        if (i <= d.n) {
          lo = i < lo ? i : lo;
          hi = i > hi ? i : hi;
        }
      }
    if (hi > lo && hi - lo > band) band = hi - lo;
  }
  return band;
}

std::vector<std::vector<int>> coupling(const net& nt, const numbering& d) {
  std::vector<std::vector<int>> columns(static_cast<std::size_t>(d.n));
  for (int e = 1; e <= nt.ne; ++e)
    for (int p = 0; p < 9; ++p) {
      int j = d.index(nt.tri(e)(p / 3 + 1), p % 3 + 1);
      if (j > d.n) continue;
      for (int q = 0; q < 9; ++q) {
        int i = d.index(nt.tri(e)(q / 3 + 1), q % 3 + 1);
        if (i <= d.n) columns[static_cast<std::size_t>(j - 1)].push_back(i);
      }
    }
  for (auto& c : columns) {
    std::sort(c.begin(), c.end());
    c.erase(std::unique(c.begin(), c.end()), c.end());
  }
  return columns;
}

}  // namespace domica
