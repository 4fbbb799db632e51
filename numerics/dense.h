// The dense tangent of a Newton iteration: the whole n x n matrix in memory,
// factored by Crout's LU with partial pivoting (numerics/lu.h). The linear
// algebra behind the Newton loop: assembly adds into it, one call factors and
// solves. Another solver (band, sparse) is another class with the same three
// calls.
#pragma once

#include "model/array.h"
#include "numerics/linear.h"

namespace domica {

class dense_tangent {
 public:
  // Allocates the n x n matrix. A matrix larger than this machine can hold is
  // an input failure naming n and the bytes needed.
  explicit dense_tangent(int n);

  // Bytes of the matrix for n unknowns: 8 n^2.
  static double bytes(int n);

  // Every entry to zero, before an assembly.
  void zero() { a_.fill(0.0); }

  // s(i, j) += v for free coordinates i, j in 1..n.
  void add(int i, int j, double v) { a_(i, j) = a_(i, j) + v; }

  // Solve s x = b in place: b (n entries) becomes x and the matrix its
  // factors, so the next use starts with zero(). A zero or non-finite pivot
  // ends it with zero_pivot at that column (b is then meaningless).
  linear_status solve(fmat1& b);

 private:
  int n_;
  fmat2 a_;
};

// Whether an n x n dense matrix fits this machine; an input failure naming n
// and the bytes needed when it does not.
void check_tangent_memory(int n);

}  // namespace domica
