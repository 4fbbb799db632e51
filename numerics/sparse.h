// The sparse tangent of a Newton iteration: only the entries that the net's
// triangles couple are stored (compressed columns), and the matrix is
// factored by UMFPACK (SuiteSparse). The tangent's pattern is symmetric, so
// UMFPACK's symmetric strategy is used: a METIS ordering of A + A' (AMD where
// METIS is not at hand), pivots taken on the diagonal where they are large
// enough. The ordering and the symbolic analysis are made at the first solve
// from the pattern alone and reused for every later one, since the pattern
// never changes.
//
// Assembly adds the same entries in the same order at every iteration
// (triangle by triangle), which the compressed columns follow (columns.h).
//
// This solver rounds differently from the exact band and dense ones (another
// order of elimination, and no iterative refinement of the solve: the Newton
// iteration itself corrects the small error of a solve), so its shapes agree
// with theirs to about 1e-9, not to the last bit.
#pragma once

#include <cstddef>
#include <vector>

#include "model/array.h"
#include "numerics/columns.h"
#include "numerics/linear.h"

namespace domica {

class sparse_tangent {
 public:
  // columns[j - 1] lists the rows i (1..n, ascending, no repeats) of the
  // entries that column j may hold. Every solve allocates and frees a
  // factorisation of the same size; a program that makes many may keep freed
  // blocks in its heap (app/heap.h).
  // UMFPACK's int version is tried first and its long one taken when that
  // gives up for room (the fine nets, solve()); wide takes the long one
  // from the start.
  sparse_tangent(int n, const std::vector<std::vector<int>>& columns, bool wide = false);
  ~sparse_tangent();
  sparse_tangent(const sparse_tangent&) = delete;
  sparse_tangent& operator=(const sparse_tangent&) = delete;

  // Every entry to zero, before an assembly.
  void zero();

  // s(i, j) += v for an entry (i, j in 1..n) of the pattern; an entry outside
  // it is an internal failure.
  void add(int i, int j, double v);

  // Solve s x = b in place (b has n entries). A matrix that is singular, or
  // whose factorisation fails, ends it with singular (b is then meaningless).
  linear_status solve(fmat1& b);

  // Entries stored.
  std::size_t entries() const { return m_.ai.size(); }

 private:
  int n_;
  column_store m_;  // the matrix, both triangles
  std::vector<double> x_;   // n, the solution before it goes back into b
  void* symbolic_ = nullptr;
  double estimate_ = -1.0;  // the analysis's estimate of a factorisation's peak, bytes
  // UMFPACK's long-index version, once the int one could not factor (then
  // the pattern's starts and rows as long integers in lp_, li_).
  bool wide_ = false;
  std::vector<long> lp_, li_;
  void widen();
  void forget_analysis();

};

}  // namespace domica
