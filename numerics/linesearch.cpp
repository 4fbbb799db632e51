#include "numerics/linesearch.h"

namespace nlp {

void line_search_failure() {
  throw halt{};
}

double cubic(double a, double b, double fa, double fb, double dfa, double dfb) {
  if (dfa == 0.0) return a;
  if (dfb == 0.0) return b;
  double u1 = 3.0 * (fa - fb) / (b - a) + dfa + dfb;
  double r = std::fabs(u1);
  double s = std::sqrt(std::fabs(dfa)) * std::sqrt(std::fabs(dfb));
  double u2;
  if ((dfa < 0.0 && dfb > 0.0) || (dfa > 0.0 && dfb < 0.0)) {
    if (s <= r) {
      double sr = (s / r) * (s / r);
      u2 = r * std::sqrt(1 + sr);
    } else {
      double rs = (r / s) * (r / s);
      u2 = s * std::sqrt(1 + rs);
    }
  } else {
    if (s <= r) {
      double sr = (s / r) * (s / r);
      u2 = r * std::sqrt(1 - sr);
    } else {
      return (a + b) * 0.5;
    }
  }
  double du;
  if (u1 > 0.0)
    du = -dfa * dfb / (u1 + u2);
  else
    du = u2 - u1;
  double x = b - (b - a) * (dfb + du) / (dfb - dfa + 2 * u2);
  if (a <= x && x <= b) return x;
  return (a + b) * 0.5;
}

}  // namespace nlp
