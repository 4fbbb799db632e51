// The sparse Cholesky factor and the Newton minimiser on it: real Hessians of
// a net against the dense solver (a displaced, prestressed state; the flat
// plan, which has no stiffness across the plane and needs a shift), and the
// minimiser on a function with negative curvature away from its minimum.
#include <gtest/gtest.h>

#include <omp.h>

#include <cmath>
#include <fstream>
#include <random>
#include <string>

#include "mechanics/structure.h"
#include "model/number.h"
#include "domica_3/driver.h"
#include "numerics/cholesky.h"
#include "numerics/dense.h"
#include "numerics/newton.h"
#include "tests/testutil.h"

using namespace domica;

namespace {

// Both triangles of each element matrix, as the dense solver wants them.
struct both {
  dense_tangent& d;
  sparse_cholesky& c;
  fmat2 m;  // the whole matrix, for its product
  void zero() {
    d.zero();
    c.zero();
    m.fill(0.0);
  }
  void add(int i, int j, double v) {
    d.add(i, j, v);
    c.add(i, j, v);
    m(i, j) += v;
  }
};

double worst_relative(int n, const fmat1& a, const fmat1& b) {
  double size = 0.0, worst = 0.0;
  for (int i = 1; i <= n; ++i) {
    size = std::max(size, std::fabs(a(i)));
    worst = std::max(worst, std::fabs(a(i) - b(i)));
  }
  return worst / size;
}

// Threads of this process, from /proc/self/status.
int threads_now() {
  std::ifstream in("/proc/self/status");
  for (std::string line; std::getline(in, line);)
    if (line.rfind("Threads:", 0) == 0) return std::stoi(line.substr(8));
  return -1;
}

}  // namespace

TEST(SparseCholesky, NetHessiansSolveAndMultiplyAsTheDenseSolver) {
  problem p = test::problem_from_text(test::makenet("disc rings=6 radius=10 pressure=-1 weight=0.2 program=3"), program::domica_3);
  state3 s = start3(p);
  const int n = s.as.d.n;
  sparse_cholesky chol(n, coupling(p.nt, s.as.d));
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> u(-0.05, 0.05);
  fmat1 x(n), b(n), y(n);
  for (int i = 1; i <= n; ++i) {
    x(i) = u(rng);
    b(i) = 1.0 + u(rng);
  }
  for (double prestress : {0.0, 1.0}) {
    SCOPED_TRACE(prestress);
    dense_tangent dense(n);
    both h{dense, chol, fmat2(n, n)};
    membrane_stiffness(p.nt, s.as, prestress == 0.0 ? fmat1(n) : x, h, prestress);
    // Neither is positive definite: the flat plan (no prestress) has no
    // stiffness across its plane, and the random state compresses triangles
    // (eigenvalues down to -12 with the prestress). The factor says so, on a
    // net this small too, and the least shift that factors is taken.
    nlp::newton_result counts;
    double tau = nlp::factor_shifted(chol, 0.0, counts);
    ASSERT_GT(tau, 0.0);
    EXPECT_FALSE(chol.factor(0.0));
    EXPECT_TRUE(chol.factor(tau));
    // The product from the stored lower triangle against the dense one.
    chol.multiply(b, y);
    fmat1 want(n);
    for (int i = 1; i <= n; ++i) {
      double sum = 0.0;
      for (int j = 1; j <= n; ++j) sum += h.m(i, j) * b(j);
      want(i) = sum;
    }
    EXPECT_LE(worst_relative(n, want, y), 1e-13);
    // (A + tau I) x = b by both.
    for (int i = 1; i <= n; ++i) dense.add(i, i, tau);
    fmat1 xs = b, xd = b;
    chol.solve(xs);
    ASSERT_TRUE(dense.solve(xd).ok());
    EXPECT_LE(worst_relative(n, xd, xs), 1e-9);
  }
}

// The least shift of an indefinite matrix (eigenvalues -1 and 3): the tries
// below it fail, and only the one that gave the factor is complete (the
// note's time and rate of a factorisation are of complete ones).
TEST(SparseCholesky, TheLeastShiftThatFactorsAndItsFailedTries) {
  sparse_cholesky h(2, {{1, 2}, {1, 2}});
  h.zero();
  h.add(1, 1, 1.0);
  h.add(2, 1, 2.0);
  h.add(2, 2, 1.0);
  nlp::newton_result counts;
  const double tau = nlp::factor_shifted(h, 0.0, counts);
  EXPECT_GT(tau, 1.0);
  EXPECT_LE(tau, 2.0);
  EXPECT_GT(counts.factorisations, 20);
  EXPECT_EQ(counts.complete, 1);
  EXPECT_GE(counts.factor_seconds, counts.complete_seconds);
}

// CHOLMOD's loops would open OpenMP threads of their own: a factorisation
// keeps them on the calling thread and leaves the caller's setting as it was.
TEST(SparseCholesky, FactorisesOnTheCallingThreadAndLeavesItsOpenMpSettingAlone) {
  problem p = test::problem_from_text(test::makenet("disc rings=30 radius=10 pressure=-1 program=3"), program::domica_3);
  state3 s = start3(p);
  const int n = s.as.d.n;
  sparse_cholesky chol(n, coupling(p.nt, s.as.d));
  membrane_stiffness(p.nt, s.as, fmat1(n), chol, 1.0);
  omp_set_max_active_levels(4);
  const int before = threads_now();
  ASSERT_GT(before, 0);
  ASSERT_TRUE(chol.factor(0.0));
  EXPECT_EQ(omp_get_max_active_levels(), 4);
  EXPECT_EQ(threads_now(), before);
}

TEST(NewtonMinimiser, ChainedRosenbrockThroughItsNegativeCurvature) {
  // f = sum 100 (x(i+1) - x(i)^2)^2 + (1 - x(i))^2: a banded Hessian,
  // indefinite away from the valley.
  const int n = 30;
  auto objective = [](int m, const fmat1& x, fmat1& g) {
    double f = 0.0;
    for (int i = 1; i <= m; ++i) g(i) = 0.0;
    for (int i = 1; i < m; ++i) {
      double t = x(i + 1) - x(i) * x(i), v = 1 - x(i);
      f += 100 * t * t + v * v;
      g(i) += -400 * x(i) * t - 2 * v;
      g(i + 1) += 200 * t;
    }
    return f;
  };
  auto hessian = [](const fmat1& x, sparse_cholesky& h, double) {
    h.zero();
    for (int i = 1; i < n; ++i) {
      h.add(i, i, 1200 * x(i) * x(i) - 400 * x(i + 1) + 2);
      h.add(i + 1, i, -400 * x(i));
      h.add(i + 1, i + 1, 200);
    }
  };
  std::vector<std::vector<int>> columns(n);
  for (int j = 1; j <= n; ++j)
    for (int i = std::max(1, j - 1); i <= std::min(n, j + 1); ++i) columns[static_cast<std::size_t>(j - 1)].push_back(i);
  sparse_cholesky h(n, columns);
  fmat1 x(n), g(n);
  for (int i = 1; i <= n; ++i) x(i) = i % 2 ? 0.0 : 1.0;  // diagonal entries -398 at the odd ones
  nlp::newton_params q;
  q.maxit = 500;
  q.maxnorm = 1e-9;
  nlp::newton_result r = nlp::newton(objective, hessian, h, n, q, x, g);
  EXPECT_TRUE(r.optimal);
  EXPECT_FALSE(r.halted);
  EXPECT_GT(r.shifted, 0);  // it went through negative curvature
  EXPECT_LT(r.iterations, 200);
  for (int i = 1; i <= n; ++i) EXPECT_NEAR(x(i), 1.0, 1e-8) << i;
}
