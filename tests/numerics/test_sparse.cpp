// The sparse solver against the dense one on real tangents of a net: the
// flat plan's (zero diagonal in every vertical coordinate) and displaced
// ones, assembled in the program's order and in others, so that the record
// of where each add lands is followed, departed from and mended; with
// UMFPACK's int indices and with the long ones of the finest nets.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>
#include <vector>

#include "model/failure.h"
#include "model/number.h"
#include "domica_2/driver.h"
#include "mechanics/structure.h"
#include "numerics/dense.h"
#include "numerics/sparse.h"
#include "tests/testutil.h"

using namespace domica;

namespace {

// Adds of one assembly, as structure() makes them.
struct recorder {
  std::vector<std::pair<std::pair<int, int>, double>> adds;
  void zero() { adds.clear(); }
  void add(int i, int j, double v) { adds.push_back({{i, j}, v}); }
};

}  // namespace

TEST(SparseSolver, RealTangentsInAnyAddOrderGiveTheDenseSolution) {
  problem p = test::problem_from_text(test::makenet("disc rings=7 radius=10 pressure=-1 weight=0.2 program=2"), program::domica_2);
  state2 s = start2(p);
  const int n = s.as.d.n;
  for (bool wide : {false, true}) {
    SCOPED_TRACE(wide ? "long indices" : "int indices");
    sparse_tangent sparse(n, coupling(p.nt, s.as.d), wide);
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> u(-0.5, 0.5);
    for (int trial = 0; trial < 4; ++trial) {
      fmat1 x(n), force(n), r(n);
      if (trial > 0)
        for (int i = 1; i <= n; ++i) x(i) = u(rng);
      recorder rec;
      structure(p.nt, s.as, -1.0, force, x, r, rec);
      // Trial 2 reverses the order, trial 3 goes back to the program's.
      if (trial == 2) std::reverse(rec.adds.begin(), rec.adds.end());
      dense_tangent dense(n);
      dense.zero();
      sparse.zero();
      for (const auto& [at, v] : rec.adds) {
        dense.add(at.first, at.second, v);
        sparse.add(at.first, at.second, v);
      }
      fmat1 xd = r, xs = r;
      ASSERT_TRUE(dense.solve(xd).ok());
      ASSERT_TRUE(sparse.solve(xs).ok()) << "trial " << trial;
      double size = 0.0, worst = 0.0;
      for (int i = 1; i <= n; ++i) {
        size = std::max(size, std::fabs(xd(i)));
        worst = std::max(worst, std::fabs(xd(i) - xs(i)));
      }
      EXPECT_LE(worst, 1e-10 * size) << "trial " << trial;
    }
    // Coordinates 1 and n share no triangle.
    EXPECT_THROW(sparse.add(1, n, 1.0), failure);
  }
}
