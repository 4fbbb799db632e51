#include "nlp/norm.h"

#include <cmath>

namespace nlp {

double norm(int n, const domica::fmat1& v) {
  double value = 0.0;
  for (int k = 1; k <= n; ++k) {
    if (std::isnan(v(k))) return v(k);
    if (std::fabs(v(k)) > value) value = std::fabs(v(k));
  }
  return value;
}

}  // namespace nlp
