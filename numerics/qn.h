// The quasi-Newton component: three minimisers of one objective
//   double objective(int n, const fmat1& x, fmat1& g)
// which returns the value at x and writes the gradient into g. The objective
// is bound at compile time (a template parameter), so the inner loop has no
// indirect calls.
//
//   lbfgs  limited-memory BFGS, two-loop recursion over the newest maxlist
//          step/gradient-change pairs (Nocedal and Wright, Algorithm 7.4)
//   mbfgs  memoryless BFGS: the update of a scaled identity with the newest pair
//   bfgs   self-scaling BFGS on a packed inverse Hessian (Oren and Luenberger)
//
// Each is called as method(objective, n, params, x, g): n unknowns, x (n) the
// start and on return the last point, g (n) the gradient there. All three
// start with one steepest-descent line search, stop when norm(n, g) <=
// params.maxnorm or after params.maxminor line searches, and return the
// number of line searches, the final value and whether the gradient test holds.
#pragma once

#include <stdexcept>
#include <vector>

#include "model/array.h"
#include "numerics/linesearch.h"
#include "numerics/norm.h"

namespace nlp {

// The settings of one minimisation, the same for the three methods.
struct qn_params {
  int maxminor = 0;      // line searches at most (the first one is always made)
  double maxnorm = 0.0;  // the gradient test: norm(n, g) <= maxnorm, >= 0
  int maxls = 10;        // interpolation steps per line search, >= 0
  double lstol = 0.9;    // curvature tolerance of the line search, > 0
  int maxlist = 8;       // lbfgs: step/gradient-change pairs kept (0 keeps one)
};

// A setting outside the ranges above is a fault of the caller:
// std::invalid_argument naming it.
void check(const qn_params& q);

struct qn_result {
  int minor = 0;         // line searches performed
  double f = 0.0;        // objective at the final point
  bool optimal = false;  // norm(n, g) <= maxnorm at the final point
  bool halted = false;   // a line search could not go on, even from steepest descent: x is the last good point
  bool moved = false;    // x ends elsewhere than it started (set by the caller of a minimiser)
};

// One correction pair of the limited-memory list.
struct list_rec {
  explicit list_rec(int n) : s(n), y(n) {}
  double alpha = 0.0;  // scratch of the two-loop recursion
  double sy = 0.0;     // s . y
  fmat1 s, y;
};

// The newest step/gradient-change pairs, at most `capacity` of them (at least
// one). Once full, a new pair overwrites the oldest.
class pair_list {
 public:
  explicit pair_list(int capacity) : capacity_(capacity > 1 ? capacity : 1) {}
  int size() const { return static_cast<int>(pairs_.size()); }
  // k = 1 is the oldest pair, k = size() the newest.
  list_rec& at(int k) { return pairs_[static_cast<std::size_t>((oldest_ + k - 1) % size())]; }
  const list_rec& at(int k) const { return pairs_[static_cast<std::size_t>((oldest_ + k - 1) % size())]; }
  void clear() {
    pairs_.clear();
    oldest_ = 0;
  }
  void add(int n, const fmat1& s, const fmat1& y) {
    list_rec* p;
    if (size() < capacity_) {
      pairs_.emplace_back(n);
      p = &pairs_.back();
    } else {
      p = &pairs_[static_cast<std::size_t>(oldest_)];
      oldest_ = (oldest_ + 1) % size();
    }
    p->sy = 0.0;
    for (int i = 1; i <= n; ++i) {
      p->s(i) = s(i);
      p->y(i) = y(i);
      p->sy = p->sy + s(i) * y(i);
    }
  }

 private:
  int capacity_;
  int oldest_ = 0;
  std::vector<list_rec> pairs_;
};

// Two-loop recursion: d := -H g with H built from the pairs on a scaled identity.
void direction(pair_list& l, int n, const fmat1& g, fmat1& d);

// Position of H(i, j), i >= j, in the packed lower triangle stored by
// diagonals: the main diagonal first, then each sub-diagonal in turn.
inline int pos(int n, int i, int j) { return j + ((i - j) * (2 * n - i + j + 1)) / 2; }

// y := H v for the packed symmetric H: diagonal term first, then the terms
// left of the diagonal, then those below it.
void symmetric_product(int n, const fmat1& h, const fmat1& v, fmat1& y);

// One line search along d from x, which leaves in s the step taken and in y
// the change of the gradient over it; returns the value at the new x.
template <class F>
double search_pair(F& objective, int n, int maxls, double lstol, double f, fmat1& x, fmat1& g, const fmat1& d, fmat1& s,
                   fmat1& y) {
  for (int i = 1; i <= n; ++i) {
    s(i) = x(i);
    y(i) = g(i);
  }
  f = linesearch(objective, n, maxls, lstol, f, x, g, d);
  for (int i = 1; i <= n; ++i) {
    s(i) = x(i) - s(i);
    y(i) = g(i) - y(i);
  }
  return f;
}

// The first step of every minimiser: evaluate at x, then one steepest-descent search.
template <class F>
double first_step(F& objective, int n, int maxls, double lstol, fmat1& x, fmat1& g, fmat1& d, fmat1& s, fmat1& y) {
  double f = objective(n, x, g);
  for (int i = 1; i <= n; ++i) d(i) = -g(i);
  return search_pair(objective, n, maxls, lstol, f, x, g, d, s, y);
}

// A line search that cannot go on (its direction does not descend, or it
// ended where the value or gradient is not finite) leaves x and g at its
// start; the first time in a call the list is then cleared and the search
// made again from steepest descent (a line search of its own). A second
// failure, or one of the steepest-descent searches, stops the minimiser with
// halted set, x and g at the point of the smallest norm(n, g) that a search
// ended at (at the rounding floor later points may stand farther from
// equilibrium), and f its value.
template <class F>
qn_result lbfgs(F& objective, int n, const qn_params& params, fmat1& x, fmat1& g) {
  check(params);
  qn_result r;
  pair_list list(params.maxlist);
  fmat1 d(n), s(n), y(n);
  r.minor = 1;
  try {
    r.f = first_step(objective, n, params.maxls, params.lstol, x, g, d, s, y);
  } catch (const halt&) {
    r.halted = true;
    r.f = objective(n, x, g);
    return r;
  }
  list.add(n, s, y);
  fmat1 bx = x, bg = g;
  double best = norm(n, g), bf = r.f;
  bool restarted = false;
  while (r.minor < params.maxminor && norm(n, g) > params.maxnorm) {
    r.minor = r.minor + 1;
    direction(list, n, g, d);
    try {
      r.f = search_pair(objective, n, params.maxls, params.lstol, r.f, x, g, d, s, y);
    } catch (const halt&) {
      if (restarted || r.minor >= params.maxminor) {
        r.halted = true;
        break;
      }
      restarted = true;
      list.clear();
      r.minor = r.minor + 1;
      for (int i = 1; i <= n; ++i) d(i) = -g(i);
      try {
        r.f = search_pair(objective, n, params.maxls, params.lstol, r.f, x, g, d, s, y);
      } catch (const halt&) {
        r.halted = true;
        break;
      }
    }
    list.add(n, s, y);
    const double reached = norm(n, g);
    if (reached < best) {
      best = reached;
      bf = r.f;
      for (int i = 1; i <= n; ++i) {
        bx(i) = x(i);
        bg(i) = g(i);
      }
    }
  }
  if (r.halted && best < norm(n, g)) {
    x = bx;
    g = bg;
    r.f = bf;
  }
  r.optimal = norm(n, g) <= params.maxnorm;
  return r;
}

template <class F>
qn_result mbfgs(F& objective, int n, const qn_params& params, fmat1& x, fmat1& g) {
  check(params);
  qn_result r;
  fmat1 d(n), p(n), q(n);
  r.minor = 1;
  r.f = first_step(objective, n, params.maxls, params.lstol, x, g, d, p, q);
  while (r.minor < params.maxminor && norm(n, g) > params.maxnorm) {
    r.minor = r.minor + 1;
    double pq = 0.0, qq = 0.0, pg = 0.0, qg = 0.0;
    for (int i = 1; i <= n; ++i) {
      pq = pq + p(i) * q(i);
      qq = qq + q(i) * q(i);
      pg = pg + p(i) * g(i);
      qg = qg + q(i) * g(i);
    }
    double gamma = pq / qq;
    double c1 = qg / qq - 2 * pg / pq;
    double c2 = pg / qq;
    for (int i = 1; i <= n; ++i) d(i) = c1 * p(i) + c2 * q(i) - gamma * g(i);
    r.f = search_pair(objective, n, params.maxls, params.lstol, r.f, x, g, d, p, q);
  }
  r.optimal = norm(n, g) <= params.maxnorm;
  return r;
}

template <class F>
qn_result bfgs(F& objective, int n, const qn_params& params, fmat1& x, fmat1& g) {
  check(params);
  // The packed positions are 32-bit: n (n + 1) must stay within 2147483647.
  if (n > 46340) throw std::length_error("bfgs: more than 46340 variables");
  qn_result r;
  fmat1 h(n * (n + 1) / 2), d(n), p(n), q(n), hq(n);
  r.minor = 1;
  for (int j = 1; j <= n; ++j) {
    h(pos(n, j, j)) = 1.0;
    for (int i = j + 1; i <= n; ++i) h(pos(n, i, j)) = 0.0;
  }
  r.f = first_step(objective, n, params.maxls, params.lstol, x, g, d, p, q);
  while (r.minor < params.maxminor && norm(n, g) > params.maxnorm) {
    r.minor = r.minor + 1;
    symmetric_product(n, h, q, hq);
    double pq = 0.0, qhq = 0.0;
    for (int i = 1; i <= n; ++i) {
      pq = pq + p(i) * q(i);
      qhq = qhq + q(i) * hq(i);
    }
    double c1 = std::sqrt(qhq);
    double c2 = c1 / pq;
    for (int i = 1; i <= n; ++i) d(i) = c2 * p(i) - hq(i) / c1;
    double gamma = pq / qhq;
    for (int i = 1; i <= n; ++i) {
      c1 = hq(i) / qhq;
      c2 = p(i) / pq;
      for (int j = 1; j <= i; ++j) {
        int pij = pos(n, i, j);
        h(pij) = (h(pij) - c1 * hq(j) + d(i) * d(j)) * gamma + c2 * p(j);
      }
    }
    symmetric_product(n, h, g, d);
    for (int i = 1; i <= n; ++i) d(i) = -d(i);
    r.f = search_pair(objective, n, params.maxls, params.lstol, r.f, x, g, d, p, q);
  }
  r.optimal = norm(n, g) <= params.maxnorm;
  return r;
}

}  // namespace nlp
