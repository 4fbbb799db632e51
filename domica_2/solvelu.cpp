#include "domica_2/solvelu.h"

#include <cmath>
#include <utility>
#include <vector>

namespace domica {

// Column j is worked on in a contiguous copy so that the inner products run
// along rows of a and along that copy; every sum is formed in the same order
// as with direct indexing, so the results are the same to the last bit.
int solvelu(int n, fmat2& a, fmat1& b) {
  std::vector<double> col(static_cast<std::size_t>(n) + 1);
  for (int j = 1; j <= n; ++j) {
    for (int i = 1; i <= n; ++i) col[i] = a(i, j);
    // Upper part and diagonal.
    for (int i = 1; i <= j; ++i) {
      const double* ai = &a(i, 1);
      double sum = col[i];
      for (int k = 1; k <= i - 1; ++k) sum = sum - ai[k - 1] * col[k];
      col[i] = sum;
    }
    // Lower part and pivot search; on equal magnitudes the earlier row wins.
    int row = j;
    double pivot = std::fabs(col[j]);
    for (int i = j + 1; i <= n; ++i) {
      const double* ai = &a(i, 1);
      double sum = col[i];
      for (int k = 1; k <= j - 1; ++k) sum = sum - ai[k - 1] * col[k];
      col[i] = sum;
      if (std::fabs(sum) > pivot) {
        row = i;
        pivot = std::fabs(sum);
      }
    }
    for (int i = 1; i <= n; ++i) a(i, j) = col[i];
    // Interchange whole rows, and the right-hand side with them.
    if (row != j) {
      for (int k = 1; k <= n; ++k) std::swap(a(row, k), a(j, k));
      std::swap(b(row), b(j));
    }
    pivot = a(j, j);
    if (pivot == 0.0 || !std::isfinite(pivot)) return j;
    for (int i = j + 1; i <= n; ++i) a(i, j) = a(i, j) / pivot;
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
