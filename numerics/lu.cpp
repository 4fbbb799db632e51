#include "numerics/lu.h"

#include <cmath>
#include <utility>
#include <vector>

namespace domica {

namespace {

// col[i] - sum over k = 1..kmax of a(i, k) col[k], the terms taken in
// increasing k, for the four rows i .. i+3 at once. Each row keeps its own
// running sum, so every result is the same to the last bit as when the rows
// are done one by one; running four independent sums only hides the latency
// of the additions.
inline void four_rows(const fmat2& a, int i, int kmax, const double* col, double s[4]) {
  const double* r0 = &a(i, 1);
  const double* r1 = &a(i + 1, 1);
  const double* r2 = &a(i + 2, 1);
  const double* r3 = &a(i + 3, 1);
  double s0 = col[i], s1 = col[i + 1], s2 = col[i + 2], s3 = col[i + 3];
  for (int k = 1; k <= kmax; ++k) {
    double ck = col[k];
    s0 = s0 - r0[k - 1] * ck;
    s1 = s1 - r1[k - 1] * ck;
    s2 = s2 - r2[k - 1] * ck;
    s3 = s3 - r3[k - 1] * ck;
  }
  s[0] = s0;
  s[1] = s1;
  s[2] = s2;
  s[3] = s3;
}

inline double one_row(const fmat2& a, int i, int kmax, const double* col) {
  const double* ri = &a(i, 1);
  double sum = col[i];
  for (int k = 1; k <= kmax; ++k) sum = sum - ri[k - 1] * col[k];
  return sum;
}

}  // namespace

// Column j is worked on in a contiguous copy, so that the inner products run
// along rows of a and along that copy.
int solvelu(int n, fmat2& a, fmat1& b) {
  std::vector<double> store(static_cast<std::size_t>(n) + 1);  // col[1..n]
  double* col = store.data();
  for (int j = 1; j <= n; ++j) {
    for (int i = 1; i <= n; ++i) col[i] = a(i, j);
    // Upper part and diagonal: row i needs col[k] final for every k < i. In a
    // block of four rows the terms k < i0 are shared; the few terms inside the
    // block follow in increasing k as soon as their col[k] is final.
    int i = 1;
    for (; i + 3 <= j; i += 4) {
      double s[4];
      four_rows(a, i, i - 1, col, s);
      col[i] = s[0];
      col[i + 1] = s[1] - a(i + 1, i) * col[i];
      double t2 = s[2] - a(i + 2, i) * col[i];
      col[i + 2] = t2 - a(i + 2, i + 1) * col[i + 1];
      double t3 = s[3] - a(i + 3, i) * col[i];
      t3 = t3 - a(i + 3, i + 1) * col[i + 1];
      col[i + 3] = t3 - a(i + 3, i + 2) * col[i + 2];
    }
    for (; i <= j; ++i) col[i] = one_row(a, i, i - 1, col);
    // Lower part; then the pivot search in row order, where on equal
    // magnitudes the earlier row wins, the diagonal row first of all.
    i = j + 1;
    for (; i + 3 <= n; i += 4) {
      double s[4];
      four_rows(a, i, j - 1, col, s);
      for (int r = 0; r < 4; ++r) col[i + r] = s[r];
    }
    for (; i <= n; ++i) col[i] = one_row(a, i, j - 1, col);
    int row = j;
    double pivot = std::fabs(col[j]);
    for (i = j + 1; i <= n; ++i)
      if (std::fabs(col[i]) > pivot) {
        row = i;
        pivot = std::fabs(col[i]);
      }
    for (i = 1; i <= n; ++i) a(i, j) = col[i];
    // Interchange whole rows, and the right-hand side with them.
    if (row != j) {
      for (int k = 1; k <= n; ++k) std::swap(a(row, k), a(j, k));
      std::swap(b(row), b(j));
    }
    pivot = a(j, j);
    if (pivot == 0.0 || !std::isfinite(pivot)) return j;
    for (i = j + 1; i <= n; ++i) a(i, j) = a(i, j) / pivot;
  }
  // Forward substitution (unit diagonal).
  for (int i = 1; i <= n; ++i) {
    const double* ai = &a(i, 1);
    double sum = b(i);
    for (int k = 1; k <= i - 1; ++k) sum = sum - ai[k - 1] * b(k);
    b(i) = sum;
  }
  // Back substitution.
  for (int i = n; i >= 1; --i) {
    const double* ai = &a(i, 1);
    double sum = b(i);
    for (int k = i + 1; k <= n; ++k) sum = sum - ai[k - 1] * b(k);
    b(i) = sum / a(i, i);
  }
  return 0;
}

}  // namespace domica
