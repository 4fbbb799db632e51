// The band tangent of a Newton iteration: only the entries within the band
// that the net's numbering allows are stored, n x (2 kl + ku + 1) numbers,
// and factored with partial pivoting by rows.
//
// The factorisation performs, for every entry, exactly the operations of the
// dense Crout elimination (numerics/lu.h) in the same order: the same pivot
// choice (the largest magnitude, the earliest row on ties), the same products
// subtracted in the same order of the elimination steps, the same divisions.
// It only leaves out products with a factor that is zero, outside the band
// or zero by value, which can change nothing but the sign of a zero. So the
// solution is the dense solver's, bit for bit.
//
// Storage is by columns, as the band routines of LAPACK keep it: column j
// holds rows j - kl - ku .. j + kl; the rows above j - ku are room for the
// fill that row interchanges bring into U. The multipliers of step k stay in
// column k as they were computed; the later interchanges are applied to the
// right-hand side in the same sequence instead.
#pragma once

#include <vector>

#include "model/array.h"
#include "numerics/linear.h"

namespace domica {

class band_tangent {
 public:
  // An n x n tangent whose entries (i, j) are zero for |i - j| > kl. A band
  // larger than this machine can hold is an input failure naming n and the
  // bytes needed.
  band_tangent(int n, int kl);

  // Bytes of the band storage for n unknowns and lower bandwidth kl.
  static double bytes(int n, int kl);

  void zero();

  // s(i, j) += v for |i - j| <= kl. The rows of a column above the first one
  // given a value are taken as zero by solve().
  void add(int i, int j, double v) {
    DOMICA_BOUNDS(i - j, -kl_, kl_);
    double& a = ab_[static_cast<std::size_t>(j - 1) * ld_ + static_cast<std::size_t>(kv_ + i - j)];
    a = a + v;
    int& t = top_[static_cast<std::size_t>(j)];
    t = i < t ? i : t;
  }

  // Solve s x = b in place (b has n entries); the stored entries become the
  // factors, so the next use starts with zero(). A zero or non-finite pivot
  // ends it with zero_pivot at that column (b is then meaningless).
  linear_status solve(fmat1& b);

  int lower() const { return kl_; }

 private:
  int n_, kl_, ku_, kv_, ld_;
  std::vector<double> ab_;
  std::vector<int> piv_;   // piv_[k]: the row interchanged with row k at step k (1-based, slot 0 unused)
  std::vector<int> top_;   // top_[j]: the first row of column j given a value since zero(), n + 1 if none
  std::vector<int> last_;  // last_[k]: the last row whose multiplier of step k is not zero (k if none)
  std::vector<int> dirty_; // dirty_[j]: the first row of column j that solve() may have changed, n + 1 if none;
                           // with top_, the part of the column that zero() has to clear
  std::vector<int> reached_; // reached_[k]: the lowest row that steps 1..k interchange, at least k (0 at k = 0)
};

}  // namespace domica
