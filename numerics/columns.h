// The compressed columns of a sparse matrix with a fixed pattern, assembled
// by adds in the same order at every assembly (triangle by triangle): the
// first assembly records where each add lands and later ones follow that
// record instead of searching the column; an add that departs from it is
// searched again and the record mended from there on. Held by the sparse
// tangent of the Newton program (sparse.h) and by the sparse Cholesky factor
// of the Newton minimiser (cholesky.h).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace domica {

class column_store {
 public:
  // columns[j - 1] lists the rows i (1..n, ascending, no repeats) of column
  // j; with lower only the rows i >= j are kept. `what` names the matrix in
  // failures ("sparse tangent"): more than 2e9 entries is an input failure,
  // an add outside the pattern an internal one.
  column_store(int n, const std::vector<std::vector<int>>& columns, bool lower, const std::string& what);

  // Every value to zero, before an assembly.
  void zero();

  // a(i, j) += v for an entry (i, j in 1..n) of the pattern.
  void add(int i, int j, double v);

  std::vector<int> ap, ai;  // column starts and row indices, 0-based
  std::vector<double> ax;   // values

 private:
  std::string what_;
  std::vector<int> at_;   // where the k-th add of an assembly lands in ax
  std::size_t next_ = 0;  // adds made in this assembly

  int position(int i, int j) const;
};

}  // namespace domica
