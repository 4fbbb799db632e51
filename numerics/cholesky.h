// The sparse Cholesky factorisation of a symmetric matrix with the pattern of
// the net's coupling, for the Newton minimiser of the energy: only the lower
// triangle is stored (compressed columns), and the matrix is factored by
// CHOLMOD (SuiteSparse) on a fill-reducing ordering (AMD or METIS, CHOLMOD's
// choice by the fill it measures) analysed once from the pattern alone and
// reused for every later factorisation, since the pattern never changes.
// The factor is supernodal (its fronts go to the BLAS) on every net, since
// only that L L' factor tells an indefinite matrix (cholesky.cpp).
//
// Assembly adds the same entries in the same order at every iteration, which
// the compressed columns follow (columns.h).
#pragma once

#include <cstddef>
#include <vector>

#include "model/array.h"
#include "numerics/columns.h"

namespace domica {

class sparse_cholesky {
 public:
  // columns[j - 1] lists the rows i (1..n, ascending, no repeats) of the
  // entries that column j may hold, both triangles; only rows i >= j are kept.
  // The analysis is made here: one whose factor this machine cannot hold is
  // an input failure naming n and the bytes (numerics/memory.h).
  sparse_cholesky(int n, const std::vector<std::vector<int>>& columns);
  ~sparse_cholesky();
  sparse_cholesky(const sparse_cholesky&) = delete;
  sparse_cholesky& operator=(const sparse_cholesky&) = delete;

  // Every entry to zero, before an assembly.
  void zero();

  // a(i, j) += v for i >= j in the pattern; an add above the diagonal is
  // dropped (the matrix is symmetric and its lower triangle is assembled too).
  void add(int i, int j, double v);

  // The largest diagonal entry, >= 0 (0 for n = 0).
  double largest_diagonal() const;
  // The smallest diagonal entry (0 for n = 0).
  double smallest_diagonal() const;

  // Factor A + shift I (shift >= 0). Returns false when it is not positive
  // definite (the factorisation stops at the first pivot that is not
  // positive); a failure of CHOLMOD itself is an internal failure, and one
  // for want of memory an input failure.
  bool factor(double shift);

  // Solve (A + shift I) x = b in place with the last good factorisation
  // (b has n entries).
  void solve(fmat1& b);

  // y := A v (n entries each) for the matrix last assembled, from its lower
  // triangle: column by column, the diagonal and the entries below it.
  void multiply(const fmat1& v, fmat1& y) const;

  // Entries of the factor and floating-point operations of one
  // factorisation, from the analysis.
  double factor_entries() const { return lnz_; }
  double factor_flops() const { return flops_; }
  int size() const { return n_; }

 private:
  int n_;
  column_store m_;            // the lower triangle
  double lnz_ = 0.0, flops_ = 0.0;
  void* common_ = nullptr;    // cholmod_common
  void* factor_ = nullptr;    // cholmod_factor
  void* x_ = nullptr;         // cholmod_dense: the solution and the solve's workspace, kept between solves
  void* y_ = nullptr;
  void* e_ = nullptr;
};

}  // namespace domica
