// The sparse tangent of a Newton iteration: only the entries that the net's
// triangles couple are stored (compressed columns), and the matrix is
// factored by UMFPACK (SuiteSparse) with its fill-reducing ordering. The
// ordering and the symbolic analysis are made at the first solve and reused
// for every later one, since the pattern never changes.
//
// This solver rounds differently from the exact band and dense ones (another
// order of elimination), so its shapes agree with theirs to about 1e-9, not
// to the last bit.
#pragma once

#include <vector>

#include "common/array.h"

namespace domica {

class sparse_tangent {
 public:
  // columns[j - 1] lists the rows i (1..n, ascending, no repeats) of the
  // entries that column j may hold.
  sparse_tangent(int n, const std::vector<std::vector<int>>& columns);
  ~sparse_tangent();
  sparse_tangent(const sparse_tangent&) = delete;
  sparse_tangent& operator=(const sparse_tangent&) = delete;

  void zero();

  // s(i, j) += v for an entry of the pattern.
  void add(int i, int j, double v);

  // Solve s x = b in place (b has n entries). Returns 0, or -1 when the
  // matrix is singular or its factorisation fails (b is then meaningless).
  int solve(fmat1& b);

  // Entries stored.
  std::size_t entries() const { return ai_.size(); }

 private:
  int n_;
  std::vector<int> ap_, ai_;  // column starts and row indices, 0-based
  std::vector<double> ax_;
  void* symbolic_ = nullptr;
};

}  // namespace domica
