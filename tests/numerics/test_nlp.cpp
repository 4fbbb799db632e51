// The optimisation engine: norm, cubic step, line search (including its
// evaluation counts, which are part of its contract), the pair list of the
// limited-memory method, packed storage, and the three minimisers on
// standard test problems.
#include <gtest/gtest.h>


#include <cmath>
#include <cstring>
#include <cstdio>
#include <vector>

#include "numerics/qn.h"

using domica::fmat1;
using namespace nlp;

namespace {

fmat1 vec(std::initializer_list<double> v) {
  fmat1 x(static_cast<int>(v.size()));
  int i = 1;
  for (double e : v) x(i++) = e;
  return x;
}

// An objective that counts its evaluations and remembers the points.
struct counted {
  template <class F>
  explicit counted(F fn) : f(fn) {}
  std::function<double(int, const fmat1&, fmat1&)> f;
  int evaluations = 0;
  std::vector<double> first;  // x(1) at each evaluation
  double operator()(int n, const fmat1& x, fmat1& g) {
    ++evaluations;
    first.push_back(x(1));
    return f(n, x, g);
  }
};

double parabola(int, const fmat1& x, fmat1& g) {
  g(1) = 2 * (x(1) - 3);
  return (x(1) - 3) * (x(1) - 3);
}

double rosenbrock(int n, const fmat1& x, fmat1& g) {
  double f = 0.0;
  for (int i = 1; i <= n; ++i) g(i) = 0.0;
  for (int i = 1; i < n; ++i) {
    double t = x(i + 1) - x(i) * x(i), u = 1 - x(i);
    f += 100 * t * t + u * u;
    g(i) += -400 * x(i) * t - 2 * u;
    g(i + 1) += 200 * t;
  }
  return f;
}

// Quadratic with eigenvalues from 1 to 1e4.
double ill_conditioned(int n, const fmat1& x, fmat1& g) {
  double f = 0.0;
  for (int i = 1; i <= n; ++i) {
    double c = std::pow(1e4, (i - 1.0) / (n - 1.0));
    g(i) = c * (x(i) - 1);
    f += 0.5 * c * (x(i) - 1) * (x(i) - 1);
  }
  return f;
}

}  // namespace

TEST(Norm, LargestMagnitude) {
  EXPECT_EQ(norm(0, fmat1(0)), 0.0);
  EXPECT_EQ(norm(2, vec({-3, 2})), 3.0);
  EXPECT_TRUE(std::isnan(norm(3, vec({1, NAN, -2}))));  // no convergence test may pass on a non-number
  // Every length around the vector width, the largest entry and a
  // non-number at every place: the first non-number, or the largest magnitude.
  for (int n = 1; n <= 11; ++n)
    for (int at = 1; at <= n; ++at) {
      fmat1 v(n);
      for (int k = 1; k <= n; ++k) v(k) = k % 2 ? -0.0 : 0.5 * k;
      v(at) = -1e300;
      EXPECT_EQ(norm(n, v), 1e300) << n << " " << at;
      v(at) = -NAN;
      if (at < n) v(n) = NAN;
      double got = norm(n, v);
      EXPECT_EQ(std::memcmp(&got, &v(at), sizeof got), 0) << n << " " << at;
    }
}

TEST(Cubic, ExactZeroSlopesAndSafeguards) {
  EXPECT_EQ(cubic(2, 4, 7, 9, 0.0, 5), 2.0);
  EXPECT_EQ(cubic(2, 4, 7, 9, -5, 0.0), 4.0);
  EXPECT_EQ(cubic(2, 4, 1, 1, -2, 2), 3.0);
  // Same-sign slopes with s > r: the cubic has no minimiser, the midpoint.
  EXPECT_EQ(cubic(0, 1, 1, 0, -1, -3), 0.5);
  // Same-sign slopes whose cubic minimiser lies beyond b: the midpoint.
  double x = cubic(0, 1, 0, -10, -1, -0.5);
  EXPECT_EQ(x, 0.5);
  // A minimiser inside the bracket is returned as it is.
  double inside = cubic(0, 1, 0, 0, -1, 1);
  EXPECT_NEAR(inside, 0.5, 1e-15);
}

TEST(LineSearch, ParabolaTriesOneTwoFourThenThree) {
  counted obj{parabola};
  fmat1 x = vec({0}), g(1), d = vec({1});
  double f = obj(1, x, g);
  obj.evaluations = 0;
  obj.first.clear();
  double r = linesearch(obj, 1, 5, 0.9, f, x, g, d);
  EXPECT_EQ(r, 0.0);
  EXPECT_EQ(x(1), 3.0);
  EXPECT_EQ(g(1), 0.0);
  EXPECT_EQ(obj.evaluations, 4);
  EXPECT_EQ(obj.first, (std::vector<double>{1, 2, 4, 3}));
}

TEST(LineSearch, MaxlsOneTakesExactlyOneInterpolationStep) {
  // Along a quartic the first cubic step is not exact, so only the count stops it.
  auto quartic = [](int, const fmat1& x, fmat1& g) {
    double t = x(1) - 3;
    g(1) = 4 * t * t * t + 2 * t;
    return t * t * t * t + t * t;
  };
  for (int maxls : {1, 0, -3}) {
    counted obj{quartic};
    fmat1 x = vec({0}), g(1), d = vec({1});
    double f = obj(1, x, g);
    obj.evaluations = 0;
    double r = linesearch(obj, 1, maxls, 1e-12, f, x, g, d);
    EXPECT_EQ(obj.evaluations, 4) << maxls;  // unit step, two doublings, one interpolation
    fmat1 check(1);
    EXPECT_EQ(r, quartic(1, x, check));
  }
}

TEST(LineSearch, NoDescentIsLineSearchFailure) {
  counted obj{parabola};
  fmat1 x = vec({3}), g = vec({0}), d = vec({1});
  EXPECT_THROW(linesearch(obj, 1, 5, 0.9, 0.0, x, g, d), halt);
  EXPECT_EQ(x(1), 3.0);
  EXPECT_EQ(g(1), 0.0);
  EXPECT_EQ(obj.evaluations, 0);

  // A direction that is not a number (from a zero division upstream) stops
  // the same way instead of carrying NaN into the solution.
  fmat1 g2 = vec({-6}), dn = vec({NAN});
  EXPECT_THROW(linesearch(obj, 1, 5, 0.9, 9.0, x, g2, dn), halt);
  fmat1 di = vec({INFINITY});
  EXPECT_THROW(linesearch(obj, 1, 5, 0.9, 9.0, x, g2, di), halt);
  EXPECT_EQ(obj.evaluations, 0);
}

TEST(LineSearch, EndsAtANonFinitePointIsLineSearchFailure) {
  // An objective that is not a number everywhere beyond the start point.
  auto cliff = [](int, const fmat1& x, fmat1& g) {
    g(1) = -1;
    return x(1) == 0.0 ? 0.0 : NAN;
  };
  fmat1 x = vec({0}), g = vec({-1}), d = vec({1});
  EXPECT_THROW(linesearch(cliff, 1, 3, 0.9, 0.0, x, g, d), halt);
  // The search leaves x and g at its start, for a restart from there.
  EXPECT_EQ(x(1), 0.0);
  EXPECT_EQ(g(1), -1.0);
}

TEST(Lbfgs, AFailedSearchRestartsOnceFromSteepestDescentThenHaltsAtTheLastGoodPoint) {
  // The objective turns into NaN after the first search: the next search
  // fails, the restart from steepest descent fails too, and the minimiser
  // stops at the first search's point instead of throwing it away.
  fmat1 x0 = vec({-1.2, 2}), after = x0, g(2), d(2), s(2), y(2);
  counted probe{ill_conditioned};
  first_step(probe, 2, 10, 0.9, after, g, d, s, y);
  const int good = probe.evaluations;
  int calls = 0;
  auto poisoned = [&](int n, const fmat1& x, fmat1& gx) {
    double f = ill_conditioned(n, x, gx);
    return ++calls <= good ? f : NAN;
  };
  fmat1 x = x0;
  qn_result r = lbfgs(poisoned, 2, qn_params{100, 1e-9, 10, 0.9, 5}, x, g);
  EXPECT_TRUE(r.halted);
  EXPECT_FALSE(r.optimal);
  EXPECT_EQ(r.minor, 3);  // the first search, the failed one, the restart
  EXPECT_EQ(x(1), after(1));
  EXPECT_EQ(x(2), after(2));
  EXPECT_TRUE(std::isfinite(r.f));
}

TEST(Lbfgs, HalfSquaredDistanceConvergesInOneSearch) {
  auto half = [](int n, const fmat1& x, fmat1& g) {
    double z[3] = {0, 1, 2}, f = 0.0;
    for (int i = 1; i <= n; ++i) {
      g(i) = x(i) - z[i];
      f += 0.5 * g(i) * g(i);
    }
    return f;
  };
  counted obj{half};
  fmat1 x = vec({0, 0}), g(2);
  qn_result r = lbfgs(obj, 2, qn_params{10, 0.0, 5, 0.9, 5}, x, g);
  EXPECT_EQ(r.minor, 1);
  EXPECT_EQ(r.f, 0.0);
  EXPECT_TRUE(r.optimal);
  EXPECT_EQ(obj.evaluations, 3);
  EXPECT_EQ(x(1), 1.0);
  EXPECT_EQ(x(2), 2.0);
}

TEST(Lbfgs, MaxminorOneIsOneSteepestDescentSearch) {
  counted obj{rosenbrock};
  fmat1 x = vec({-1.2, 1}), g(2);
  qn_result r = lbfgs(obj, 2, qn_params{1, 1e-6, 10, 0.9, 5}, x, g);
  EXPECT_EQ(r.minor, 1);
  EXPECT_FALSE(r.optimal);
  fmat1 check(2);
  EXPECT_EQ(r.f, rosenbrock(2, x, check));
  EXPECT_EQ(check(1), g(1));
}

TEST(PairList, FullListOverwritesTheOldestInPlace) {
  const int n = 1;
  pair_list l(3);
  const double* storage[3] = {nullptr, nullptr, nullptr};
  for (int search = 1; search <= 6; ++search) {
    fmat1 s = vec({static_cast<double>(search)}), y = vec({2.0 * search});
    l.add(n, s, y);
    if (search <= 3) storage[search - 1] = l.at(search).s.data();
    // Oldest to newest: the last min(search, 3) pairs.
    std::vector<double> walk;
    for (int k = 1; k <= l.size(); ++k) walk.push_back(l.at(k).s(1));
    std::vector<double> expect;
    for (int k = std::max(1, search - 2); k <= search; ++k) expect.push_back(k);
    EXPECT_EQ(walk, expect) << search;
    EXPECT_EQ(l.at(l.size()).sy, 2.0 * search * search);
  }
  // Searches 4, 5, 6 overwrote the three pairs in turn: no new storage.
  EXPECT_EQ(l.at(3).s.data(), storage[2]);
  EXPECT_EQ(l.at(1).s.data(), storage[0]);
}

TEST(PairList, OneNodeDirectionIsTheMemorylessOne) {
  const int n = 3;
  fmat1 s = vec({0.3, -0.2, 0.5}), y = vec({1.1, -0.4, 0.9}), g = vec({0.7, 0.1, -0.3}), d(3);
  pair_list l(8);
  l.add(n, s, y);
  direction(l, n, g, d);
  double pq = 0, qq = 0, pg = 0, qg = 0;
  for (int i = 1; i <= n; ++i) {
    pq += s(i) * y(i);
    qq += y(i) * y(i);
    pg += s(i) * g(i);
    qg += y(i) * g(i);
  }
  double gamma = pq / qq, c1 = qg / qq - 2 * pg / pq, c2 = pg / qq;
  for (int i = 1; i <= n; ++i) EXPECT_NEAR(d(i), c1 * s(i) + c2 * y(i) - gamma * g(i), 1e-15);
}

TEST(Bfgs, PackedPositionsByDiagonals) {
  const int expect[5][5] = {{0}, {0, 1}, {0, 5, 2}, {0, 8, 6, 3}, {0, 10, 9, 7, 4}};
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= i; ++j) EXPECT_EQ(pos(4, i, j), expect[i][j]) << i << "," << j;
  EXPECT_EQ(pos(1, 1, 1), 1);
  EXPECT_EQ(pos(7, 7, 1), 28);
  // After the identity is set, H v = v.
  fmat1 h(10), v = vec({1, -2, 3, -4}), y(4);
  h.fill(0.0);
  for (int j = 1; j <= 4; ++j) h(pos(4, j, j)) = 1.0;
  symmetric_product(4, h, v, y);
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(y(i), v(i));
}

TEST(Minimisers, FirstTwoDirectionsAgree) {
  // With two line searches all three reach the same point (up to rounding):
  // the first direction is -g for each, the second comes from one pair.
  fmat1 x1 = vec({-1.2, 1, 0.5}), x2 = x1, x3 = x1, g(3);
  auto obj = rosenbrock;
  qn_result a = lbfgs(obj, 3, qn_params{2, 0.0, 10, 0.9, 5}, x1, g);
  qn_result b = mbfgs(obj, 3, qn_params{2, 0.0, 10, 0.9}, x2, g);
  qn_result c = bfgs(obj, 3, qn_params{2, 0.0, 10, 0.9}, x3, g);
  EXPECT_EQ(a.minor, 2);
  EXPECT_EQ(b.minor, 2);
  EXPECT_EQ(c.minor, 2);
  for (int i = 1; i <= 3; ++i) {
    EXPECT_NEAR(x1(i), x2(i), 1e-12);
    EXPECT_NEAR(x1(i), x3(i), 1e-12);
  }
}

TEST(Minimisers, ConvergeOnStandardProblems) {
  struct problem {
    const char* name;
    double (*f)(int, const fmat1&, fmat1&);
    int n;
    double start;
  } problems[] = {{"ill-conditioned quadratic", ill_conditioned, 20, 0.0},
                  {"Rosenbrock 2", rosenbrock, 2, -1.2},
                  {"Rosenbrock 100", rosenbrock, 100, -1.2}};
  const double maxnorm = 1e-6;
  for (const problem& p : problems)
    for (int method = 0; method < 3; ++method) {
      fmat1 x(p.n), g(p.n);
      for (int i = 1; i <= p.n; ++i) x(i) = (i % 2 == 1) ? p.start : 1.0;
      auto obj = p.f;
      qn_result r = method == 0 ? lbfgs(obj, p.n, qn_params{20000, maxnorm, 20, 0.9, 8}, x, g)
                    : method == 1 ? mbfgs(obj, p.n, qn_params{20000, maxnorm, 20, 0.9}, x, g)
                                  : bfgs(obj, p.n, qn_params{20000, maxnorm, 20, 0.9}, x, g);
      EXPECT_TRUE(r.optimal) << p.name << " method " << method;
      EXPECT_LE(norm(p.n, g), maxnorm) << p.name << " method " << method;
      for (int i = 1; i <= p.n; ++i) EXPECT_NEAR(x(i), 1.0, 1e-4) << p.name << " method " << method;
    }
}
