// Newton's method for the minimum of a smooth objective whose Hessian is
// sparse, symmetric and at hand:
//   double objective(int n, const fmat1& x, fmat1& g)        value at x, gradient into g
//   void hessian(const fmat1& x, sparse_cholesky& h, double prestress)
//        h.zero(), then every entry added: the Hessian at x (prestress 0), or
//        that of the same state with an isotropic prestress added to its
//        geometric stiffness
// A trust-region Newton method (Conn, Gould and Toint, Trust-Region Methods,
// 2000, Algorithm 6.1.1): each iteration assembles the exact Hessian H and
// takes the step of the quadratic model within a radius, found by conjugate
// gradients (Steihaug) preconditioned with a sparse Cholesky factor
// (CHOLMOD, numerics/cholesky.h). With the factor of this H the step is the
// Newton step after one conjugate-gradient step; the factor is kept while it
// serves (at most 6 steps) and made anew when it no longer does, so most
// iterations cost solves, not factorisations. The radius is measured in the
// norm of the factor and follows the ratio of the actual to the predicted
// decrease (a quarter below 1/4, twice above 3/4 on the boundary); a step
// is taken when that ratio exceeds 1e-4.
//
// Where H is not positive definite:
// - a coordinate without any stiffness (the flat start of a hanging or a
//   pneumatic form: nothing resists the first motion across the plane): the
//   step is that of the prestressed Hessian, with a line search that also
//   expands it (numerics/linesearch.h), so the first step goes to the best
//   multiple of the sag that a film of that tension would take under the loads;
// - a negative curvature (compressed triangles, a snap-through): the
//   conjugate gradients follow it to the trust region's boundary, and the
//   factor that preconditions them is of H + tau I, tau the least of 0 and
//   1e-8 of the largest diagonal entry times 1, 2, 4, ... that factors
//   (Nocedal and Wright, Numerical Optimization, Algorithm 3.3); a new factor
//   tries half the last shift first, so the shift follows the curvature down.
// Measured on hanging and pneumatic nets of 2,500 to 100,000 nodes, this
// needs a factorisation every second to fourth iteration where a
// line-search Newton method with a shifted factor needed one or two in every
// iteration, and twice the iterations (docs/performance.md).
//
// Near the minimum both decreases fall below the rounding of the value: a
// step that lowers the gradient without raising the value beyond its
// rounding is taken then, and 30 iterations without a decrease of the value
// or a fall of the gradient by a tenth end the iteration (halted, at the
// point of the smallest gradient).
#pragma once

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

#include "model/array.h"
#include "numerics/cholesky.h"
#include "numerics/halt.h"
#include "numerics/linesearch.h"
#include "numerics/norm.h"

namespace nlp {

using domica::fmat1;
using domica::sparse_cholesky;

struct newton_params {
  int maxit = 0;           // Newton iterations at most
  double maxnorm = 0.0;    // the gradient test: norm(n, g) <= maxnorm
  double prestress = 0.0;  // the prestress of a step from where a coordinate has no stiffness (> 0)
  bool warm = false;       // h holds a factor from an earlier call to precondition with at first
  double scale = 0.0;      // the gradient's scale for the forcing term: norm(n, g) at the start of
                           // the solution (0: that of this call)
};

struct newton_result {
  int iterations = 0;           // Newton iterations (steps tried, taken or not)
  double f = 0.0;               // objective at the final point
  bool optimal = false;         // norm(n, g) <= maxnorm at the final point
  bool halted = false;          // 60 steps in a row refused, or no shift factors: x is the last taken point
  int shifted = 0;              // factors made of a shifted Hessian
  int prestressed = 0;          // iterations that took the prestressed Hessian
  int factorisations = 0;       // factorisations tried, those that failed included
  double factor_seconds = 0.0;  // their wall time
  int complete = 0;             // those that gave a factor (a failed one stops at its first bad pivot)
  double complete_seconds = 0.0;  // their wall time
  long long cg_steps = 0;       // conjugate-gradient steps
};

// Factor h + tau I with the least tau of the sequence 0, beta, 2 beta, 4
// beta, ... that gives a positive definite matrix, trying half of `last`
// and `last` first when last > 0. Returns tau, or -1 when none up to 2^60
// beta does; counts the factorisations into r.
inline double factor_shifted(sparse_cholesky& h, double last, newton_result& r) {
  const double big = h.largest_diagonal(), least = h.smallest_diagonal();
  const double beta = 1e-8 * (big > 0.0 ? big : 1.0);
  auto tried = [&](double tau) {
    auto begun = std::chrono::steady_clock::now();
    const bool ok = h.factor(tau);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begun).count();
    r.factorisations = r.factorisations + 1;
    r.factor_seconds += seconds;
    if (ok) {
      r.complete = r.complete + 1;
      r.complete_seconds += seconds;
    }
    return ok;
  };
  double tau = 0.0;
  if (last > 0.0) {
    if (0.5 * last >= beta && tried(0.5 * last)) return 0.5 * last;
    if (0.5 * last < beta && least > 0.0 && tried(0.0)) return 0.0;
    if (tried(last)) return last;
    tau = 2.0 * last;
  } else {
    if (least > 0.0 && tried(0.0)) return 0.0;
    tau = least <= 0.0 ? beta - least : beta;
  }
  for (int k = 0; k < 60; ++k, tau = 2.0 * tau)
    if (tried(tau)) return tau;
  return -1.0;
}

// The step z of the trust-region subproblem, min g.z + z.H z / 2 over
// |z|_M <= radius, by conjugate gradients preconditioned with the factor M
// held by h (of this H or of an earlier one, shifted): Steihaug's method
// (Conn, Gould and Toint, Trust-Region Methods, 2000, Algorithm 7.5.1). It
// ends when the residual falls below eta |g| (2-norms), on the boundary (a
// step past it, or a direction of negative curvature followed to it), or
// after `most` steps. H is the matrix last assembled into h; radius may be
// infinite, and a negative curvature then ends it at the last inner point
// (at the first direction when there is none). Outputs: z (n), *zm = |z|_M,
// *boundary; returns the steps. r, y, p, hp are scratch of n entries.
inline int steihaug(sparse_cholesky& h, int n, const fmat1& g, double eta, double radius, int most, fmat1& z, double* zm,
                    bool* boundary, fmat1& r, fmat1& y, fmat1& p, fmat1& hp) {
  *boundary = false;
  double gg = 0.0;
  for (int i = 1; i <= n; ++i) {
    z(i) = 0.0;
    r(i) = g(i);
    y(i) = g(i);
    gg = gg + g(i) * g(i);
  }
  const double stop = eta * std::sqrt(gg);
  h.solve(y);
  double ry = 0.0;
  for (int i = 1; i <= n; ++i) {
    p(i) = -y(i);
    ry = ry + r(i) * y(i);
  }
  // M-inner products of z and p, by recurrence.
  double zz = 0.0, zp = 0.0, pp = ry;
  auto to_boundary = [&] {
    double sigma = (-zp + std::sqrt(zp * zp + pp * (radius * radius - zz))) / pp;
    for (int i = 1; i <= n; ++i) z(i) = z(i) + sigma * p(i);
    zz = radius * radius;
    *boundary = true;
  };
  int k = 0;
  while (k < most) {
    k = k + 1;
    h.multiply(p, hp);
    double kappa = 0.0;
    for (int i = 1; i <= n; ++i) kappa = kappa + p(i) * hp(i);
    if (!(kappa > 0.0)) {
      if (std::isfinite(radius)) {
        to_boundary();
      } else if (k == 1) {
        for (int i = 1; i <= n; ++i) z(i) = p(i);
        zz = pp;
      }
      break;
    }
    const double a = ry / kappa;
    const double next = zz + 2.0 * a * zp + a * a * pp;
    if (next >= radius * radius) {
      to_boundary();
      break;
    }
    double rr = 0.0;
    for (int i = 1; i <= n; ++i) {
      z(i) = z(i) + a * p(i);
      r(i) = r(i) + a * hp(i);
      rr = rr + r(i) * r(i);
    }
    zz = next;
    if (std::sqrt(rr) <= stop) break;
    for (int i = 1; i <= n; ++i) y(i) = r(i);
    h.solve(y);
    double ry2 = 0.0;
    for (int i = 1; i <= n; ++i) ry2 = ry2 + r(i) * y(i);
    const double b = ry2 / ry;
    ry = ry2;
    zp = b * (zp + a * pp);
    pp = ry + b * b * pp;
    for (int i = 1; i <= n; ++i) p(i) = b * p(i) - y(i);
  }
  *zm = std::sqrt(zz);
  return k;
}

template <class F, class H>
newton_result newton(F& objective, H& hessian, sparse_cholesky& h, int n, const newton_params& q, fmat1& x, fmat1& g) {
  newton_result r;
  fmat1 d(n), xt(n), gt(n), res(n), y(n), p(n), hp(n);
  r.f = objective(n, x, g);
  double tau = 0.0, radius = std::numeric_limits<double>::infinity();
  const double scale = q.scale > 0.0 ? q.scale : norm(n, g);
  double best = norm(n, g);  // norm(n, g) when it last fell by a tenth
  double fbest = r.f;        // the value when it last fell beyond its rounding
  int since = 0;             // iterations since it last fell by a tenth
  bool fresh = q.warm;  // h holds a factor to precondition with
  int rejected = 0;     // steps refused in a row
  fmat1 bx = x, bg = g;  // the point of the smallest norm(n, g) taken, its gradient and value
  double bn = norm(n, g), bf = r.f;
  while (r.iterations < q.maxit && norm(n, g) > q.maxnorm) {
    r.iterations = r.iterations + 1;
    // After a refused step x is where it was, and so is the Hessian in h.
    if (rejected == 0) hessian(x, h, 0.0);
    const bool stiffless = q.prestress > 0.0 && h.smallest_diagonal() <= 0.0;
    if (stiffless) {
      hessian(x, h, q.prestress);
      r.prestressed = r.prestressed + 1;
      fresh = false;
    }
    const bool made = !fresh;  // a factor of this H (shifted) is made now
    if (made) {
      tau = factor_shifted(h, stiffless ? 0.0 : tau, r);
      if (tau < 0.0) {
        r.halted = true;
        break;
      }
      if (tau > 0.0) r.shifted = r.shifted + 1;
      fresh = !stiffless;
    }
    if (stiffless) {
      // The film's sag is a shape, not a size: an expanding line search scales it.
      for (int i = 1; i <= n; ++i) d(i) = -g(i);
      h.solve(d);
      try {
        r.f = linesearch(objective, n, 10, 0.9, r.f, x, g, d);
      } catch (const halt&) {
        r.halted = true;
        break;
      }
      tau = 0.0;
      radius = std::numeric_limits<double>::infinity();
      continue;
    }
    // The forcing term of a superlinear inexact Newton method (Nocedal and
    // Wright, (7.3)), on the gradient against its scale.
    const double eta = std::min(0.5, std::sqrt(norm(n, g) / (scale > 0.0 ? scale : 1.0)));
    double zm = 0.0;
    bool boundary = false;
    const int steps = steihaug(h, n, g, eta, radius, 50, d, &zm, &boundary, res, y, p, hp);
    r.cg_steps = r.cg_steps + steps;
    // A preconditioner that no longer fits: a new factor next time.
    if (steps > 6) fresh = false;
    // The model's decrease -(g.d + d.H d / 2).
    h.multiply(d, hp);
    double gd = 0.0, dhd = 0.0;
    for (int i = 1; i <= n; ++i) {
      gd = gd + g(i) * d(i);
      dhd = dhd + d(i) * hp(i);
    }
    const double predicted = -(gd + 0.5 * dhd);
    for (int i = 1; i <= n; ++i) xt(i) = x(i) + d(i);
    double ft = objective(n, xt, gt);
    bool finite = std::isfinite(ft) && std::isfinite(predicted);
    for (int i = 1; i <= n && finite; ++i) finite = std::isfinite(gt(i));
    // The ratio of the actual to the predicted decrease, both shifted by
    // the rounding of the value (Conn, Gould and Toint, section 17.4.2). Near
    // the minimum the value's rounding (measured: up to 1e-14 of it, where
    // strain energy and load work cancel) swamps both, and a step that
    // lowers the gradient without raising the value beyond 1e-12 of it is
    // taken too, the radius kept.
    const double delta = 16.0 * std::numeric_limits<double>::epsilon() * std::fabs(r.f);
    const double rho = finite && predicted >= 0.0 ? (r.f - ft + delta) / (predicted + delta) : -1.0;
    const bool by_value = rho > 1e-4;
    const bool by_gradient = finite && !by_value && ft - r.f <= 1e-12 * std::fabs(r.f) && norm(n, gt) < norm(n, g);
    const bool take = by_value || by_gradient;
    if (!take || (by_value && rho < 0.25)) radius = 0.25 * zm;
    else if (by_value && rho > 0.75 && boundary) radius = 2.0 * radius;
    if (take) {
      std::swap(x, xt);
      std::swap(g, gt);
      r.f = ft;
      rejected = 0;
      if (norm(n, g) < bn) {
        bn = norm(n, g);
        bf = r.f;
        for (int i = 1; i <= n; ++i) {
          bx(i) = x(i);
          bg(i) = g(i);
        }
      }
    } else if (++rejected >= 60 || !(radius > 0.0)) {
      r.halted = true;
      break;
    }
    // At the floor of rounding the steps change nothing: 30 iterations
    // without a decrease of the value beyond its rounding or a fall of the
    // gradient by a tenth end it.
    if ((take && r.f < fbest - delta) || norm(n, g) < 0.9 * best) {
      fbest = r.f;
      best = norm(n, g);
      since = 0;
    } else if (++since >= 30) {
      r.halted = true;
      break;
    }
  }
  if (r.halted && bn < norm(n, g)) {
    x = bx;
    g = bg;
    r.f = bf;
  }
  r.optimal = norm(n, g) <= q.maxnorm;
  return r;
}

}  // namespace nlp
