#include "numerics/norm.h"

#include <cmath>

namespace nlp {

// The largest magnitude does not depend on the order in which the entries
// are met, so it is taken over four interleaved runs of the entries, which
// the compiler turns into vector operations. A non-number anywhere is
// reported as the first one met, as a plain scan would.
double norm(int n, const domica::fmat1& v) {
  const double* p = v.data();
  double top[4] = {0.0, 0.0, 0.0, 0.0};
  bool nan = false;
  int k = 0;
  for (; k + 4 <= n; k += 4)
    for (int j = 0; j < 4; ++j) {
      double a = std::fabs(p[k + j]);
      nan = nan || a != a;
      top[j] = a > top[j] ? a : top[j];
    }
  for (; k < n; ++k) {
    double a = std::fabs(p[k]);
    nan = nan || a != a;
    top[0] = a > top[0] ? a : top[0];
  }
  if (nan)
    for (k = 0; k < n; ++k)
      if (std::isnan(p[k])) return p[k];
  double value = top[0];
  for (int j = 1; j < 4; ++j) value = top[j] > value ? top[j] : value;
  return value;
}

}  // namespace nlp
