// Line search along a descent direction: unit step, expansion by doubling,
// then sectioning by safeguarded cubic interpolation until the strong
// curvature condition holds or maxls interpolation steps are spent
// (the bracketing scheme of Fletcher, Practical Methods of Optimization, 2.6;
// the cubic step of Nocedal and Wright, (3.59)).
#pragma once

#include <cmath>
#include <cstdio>

#include "model/array.h"
#include "numerics/halt.h"

namespace nlp {

using domica::fmat1;

// Step that minimises the cubic through the values fa, fb and slopes dfa, dfb
// at the steps a < b; the midpoint when the cubic has no minimiser in [a, b].
// Squares of u1, dfa and dfb are never formed, so large slopes do not overflow.
double cubic(double a, double b, double fa, double fb, double dfa, double dfb);

// Raises halt; the caller reports it (the minimiser writes nothing itself).
[[noreturn]] void line_search_failure();

// Search from x (value f, gradient g) along d. On return x, g and the result
// belong to the last point evaluated. A start slope that is not a finite
// negative number, or a last point whose value or gradient is not finite,
// ends in line_search_failure() with x and g back at their start.
template <class F>
double linesearch(F& objective, int n, int maxls, double lstol, double f, fmat1& x, fmat1& g, const fmat1& d) {
  double fa = f, dfa = 0.0;
  for (int k = 1; k <= n; ++k) dfa = dfa + g(k) * d(k);
  if (!(dfa < 0.0) || std::isinf(dfa)) line_search_failure();
  fmat1 x0(n), g0(n);
  for (int k = 1; k <= n; ++k) {
    x0(k) = x(k);
    g0(k) = g(k);
  }
  double maxdf = -(dfa * lstol);

  // Unit step.
  for (int k = 1; k <= n; ++k) x(k) = x0(k) + d(k);
  double fb = objective(n, x, g);
  double dfb = 0.0;
  for (int k = 1; k <= n; ++k) dfb = dfb + d(k) * g(k);
  double a = 0.0, b = 1.0;

  // Expansion: double the step while the function still falls.
  while (dfb < 0.0 && fb < fa) {
    a = b;
    fa = fb;
    dfa = dfb;
    b = b + b;
    for (int k = 1; k <= n; ++k) x(k) = b * d(k) + x0(k);
    fb = objective(n, x, g);
    dfb = 0.0;
    for (int k = 1; k <= n; ++k) dfb = dfb + d(k) * g(k);
  }

  // Sectioning.
  int ls = 1;
  for (;;) {
    double alpha = cubic(a, b, fa, fb, dfa, dfb);
    for (int k = 1; k <= n; ++k) x(k) = alpha * d(k) + x0(k);
    f = objective(n, x, g);
    double df = 0.0;
    for (int k = 1; k <= n; ++k) df = df + d(k) * g(k);
    if ((f <= fa && f <= fb && std::fabs(df) <= maxdf) || ls >= maxls) break;
    ls = ls + 1;
    if (df < 0.0) {
      a = alpha;
      fa = f;
      dfa = df;
    } else {
      b = alpha;
      fb = f;
      dfb = df;
    }
  }

  bool finite = std::isfinite(f);
  for (int k = 1; k <= n && finite; ++k) finite = std::isfinite(g(k)) && std::isfinite(x(k));
  if (!finite) {
    for (int k = 1; k <= n; ++k) {
      x(k) = x0(k);
      g(k) = g0(k);
    }
    line_search_failure();
  }
  return f;
}

}  // namespace nlp
