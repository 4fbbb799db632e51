// domica_2: element residual and exact tangent, assembly, the dense LU
// solver (and its faster form against the plain one, bit for bit), and the
// Newton load steps.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "common/failure.h"
#include "common/input.h"
#include "common/setup.h"
#include "domica_2/element.h"
#include "domica_2/solution.h"
#include "domica_2/solvelu.h"
#include "domica_2/structure.h"
#include "tests/testutil.h"

using namespace domica;

namespace {

model from_text(const std::string& text) { return test::model_from_text(text, program::domica_2); }

model unit_triangle(const char* corners) {
  model m = from_text(std::string(": p\n1e-6 10 1\n: m\n1000 0.3 0.1 0 6\n: n\n3\nh\n1 0 0\n2 1 0\n3 0 1\n: e\n1\nh\n1 ") + corners +
                      "\n: f\n0\n: l\n0\n");
  start2(m);
  m.x.fill(0.0);
  return m;
}

// The plain Crout elimination exactly as written, for comparison.
void plain_lu(int n, fmat2& a, fmat1& b) {
  for (int j = 1; j <= n; ++j) {
    for (int i = 1; i <= j; ++i) {
      double sum = a(i, j);
      for (int k = 1; k <= i - 1; ++k) sum = sum - a(i, k) * a(k, j);
      a(i, j) = sum;
    }
    int row = j;
    double pivot = std::fabs(a(j, j));
    for (int i = j + 1; i <= n; ++i) {
      double sum = a(i, j);
      for (int k = 1; k <= j - 1; ++k) sum = sum - a(i, k) * a(k, j);
      a(i, j) = sum;
      if (std::fabs(sum) > pivot) {
        row = i;
        pivot = std::fabs(sum);
      }
    }
    if (row != j) {
      for (int k = 1; k <= n; ++k) std::swap(a(row, k), a(j, k));
      std::swap(b(row), b(j));
    }
    pivot = a(j, j);
    for (int i = j + 1; i <= n; ++i) a(i, j) = a(i, j) / pivot;
  }
  for (int i = 1; i <= n; ++i) {
    double sum = b(i);
    for (int k = 1; k <= i - 1; ++k) sum = sum - a(i, k) * b(k);
    b(i) = sum;
  }
  for (int i = n; i >= 1; --i) {
    double sum = b(i);
    for (int k = i + 1; k <= n; ++k) sum = sum - a(i, k) * b(k);
    b(i) = sum / a(i, i);
  }
}

}  // namespace

TEST(Element, FlatUnitTriangleUnderPressure) {
  model m = unit_triangle("1 2 3");
  fvec9x1 re;
  fmat9x9 se;
  element(m, 1, 6.0, m.x, re, se);
  for (int loc = 0; loc < 3; ++loc) {
    EXPECT_EQ(re(3 * loc + 1), 0.0);
    EXPECT_EQ(re(3 * loc + 2), 0.0);
    EXPECT_EQ(re(3 * loc + 3), 1.0);
  }
  // Swapped corners: the pressure acts on the other side.
  model s = unit_triangle("1 3 2");
  element(s, 1, 6.0, s.x, re, se);
  EXPECT_EQ(re(3), -1.0);
  // At the flat plan no z row or column has material stiffness.
  element(m, 1, 0.0, m.x, re, se);
  for (int p = 1; p <= 9; ++p)
    for (int z : {3, 6, 9}) {
      EXPECT_EQ(se(z, p), 0.0);
      EXPECT_EQ(se(p, z), 0.0);
    }
}

TEST(Element, RigidTranslationChangesNothing) {
  model m = unit_triangle("1 2 3");
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> u(-0.2, 0.2);
  for (int i = 1; i <= m.n; ++i) m.x(i) = u(rng);
  fvec9x1 re, re2;
  fmat9x9 se, se2;
  element(m, 1, 2.5, m.x, re, se);
  fmat1 moved = m.x;
  for (int glob = 1; glob <= 3; ++glob) {
    moved(m.index(glob, 1)) += 0.5;
    moved(m.index(glob, 2)) -= 0.25;
    moved(m.index(glob, 3)) += 3.0;
  }
  element(m, 1, 2.5, moved, re2, se2);
  for (int p = 1; p <= 9; ++p) {
    EXPECT_NEAR(re2(p), re(p), 1e-12);
    for (int q = 1; q <= 9; ++q) EXPECT_NEAR(se2(p, q), se(p, q), 1e-12);
  }
}

TEST(Element, TangentAgreesWithCentralDifferences) {
  model m = unit_triangle("1 2 3");
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> u(-0.3, 0.3);
  for (int trial = 0; trial < 5; ++trial) {
    for (int i = 1; i <= m.n; ++i) m.x(i) = u(rng);
    const double pressure = trial % 2 ? -4.0 : 7.0;
    fvec9x1 re, rp, rm;
    fmat9x9 se, dummy;
    element(m, 1, pressure, m.x, re, se);
    double scale = 0.0;
    for (int p = 1; p <= 9; ++p)
      for (int q = 1; q <= 9; ++q) scale = std::max(scale, std::fabs(se(p, q)));
    for (int q = 1; q <= 9; ++q) {
      const double h = 1e-6;
      int k = m.index(m.cst(1).glob((q - 1) / 3 + 1), (q - 1) % 3 + 1);
      fmat1 xp = m.x, xm = m.x;
      xp(k) += h;
      xm(k) -= h;
      element(m, 1, pressure, xp, rp, dummy);
      element(m, 1, pressure, xm, rm, dummy);
      for (int p = 1; p <= 9; ++p) EXPECT_NEAR((rp(p) - rm(p)) / (2 * h), se(p, q), 1e-6 * scale) << p << "," << q;
    }
  }
}

TEST(Assembly, EdgeCases) {
  // n = 0: everything fixed, nothing assembled, balanced for any maxnorm >= 0.
  model all = from_text(": p\n1e-6 10 1\n: m\n1 0.3 0.1 0 6\n: n\n3\nh\n1 0 0\n2 1 0\n3 0 1\n: e\n1\nh\n1 1 2 3\n: f\n9\nh\n"
                        "1 1\n1 2\n1 3\n2 1\n2 2\n2 3\n3 1\n3 2\n3 3\n: l\n0\n");
  start2(all);
  EXPECT_EQ(all.n, 0);
  fmat1 r(1, 0), force(1, 0);
  fmat2 s(1, 0, 1, 0);
  structure(all, 0, 6.0, force, all.x, r, s);
  EXPECT_FALSE(unbalance(0, 0.0, r));
  // ne = 0 gives r = -force and s = 0.
  model none = from_text(": p\n1e-6 10 1\n: m\n1 0.3 0.1 0 6\n: n\n1\nh\n1 0 0\n: e\n0\nh\n: f\n0\n: l\n0\n");
  start2(none);
  fmat1 f3(1, 3), r3(1, 3), x3(1, 3);
  fmat2 s3(1, 3, 1, 3);
  f3(1) = 1;
  f3(2) = -2;
  f3(3) = 3;
  x3.fill(0.0);
  s3.fill(9.0);
  structure(none, 3, 0.0, f3, x3, r3, s3);
  EXPECT_EQ(r3(2), 2.0);
  EXPECT_EQ(s3(2, 3), 0.0);
  // The largest component equal to maxnorm is balanced.
  EXPECT_FALSE(unbalance(3, 3.0, r3));
  EXPECT_TRUE(unbalance(3, 2.5, r3));
  // One free coordinate: one entry of r and one diagonal entry of s.
  model one = from_text(": p\n1e-6 10 1\n: m\n1 0.3 0.1 0 6\n: n\n3\nh\n1 0 0\n2 1 0\n3 0 1\n: e\n1\nh\n1 1 2 3\n: f\n8\nh\n"
                        "1 1\n1 2\n1 3\n2 1\n2 2\n2 3\n3 1\n3 2\n: l\n0\n");
  start2(one);
  ASSERT_EQ(one.n, 1);
  fmat1 r1(1, 1), f1(1, 1), x1(1, 1);
  fmat2 s1(1, 1, 1, 1);
  f1(1) = 0.0;
  x1(1) = 0.0;
  structure(one, 1, 6.0, f1, x1, r1, s1);
  EXPECT_EQ(r1(1), 1.0);  // the pressure force on corner 3 in z
  EXPECT_EQ(s1(1, 1), 0.0);
}

TEST(SolveLu, InterchangeTiesAndSmallOrders) {
  fmat2 a(1, 2, 1, 2);
  fmat1 b(1, 2);
  a(1, 1) = 0;
  a(1, 2) = 1;
  a(2, 1) = 2;
  a(2, 2) = 3;
  b(1) = 1;
  b(2) = 8;
  EXPECT_EQ(solvelu(2, a, b), 0);
  EXPECT_EQ(b(1), 2.5);
  EXPECT_EQ(b(2), 1.0);
  EXPECT_EQ(a(1, 1), 2.0);
  EXPECT_EQ(a(1, 2), 3.0);
  EXPECT_EQ(a(2, 1), 0.0);
  EXPECT_EQ(a(2, 2), 1.0);
  // Equal magnitudes keep the diagonal row: -3 and 3 below a diagonal 3.
  fmat2 t(1, 3, 1, 3);
  fmat1 c(1, 3);
  double rows[3][3] = {{3, 1, 0}, {-3, 2, 1}, {3, 0, 4}};
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) t(i, j) = rows[i - 1][j - 1];
  c(1) = 1;
  c(2) = 2;
  c(3) = 3;
  solvelu(3, t, c);
  EXPECT_EQ(t(1, 1), 3.0);
  EXPECT_EQ(t(1, 2), 1.0);
  EXPECT_EQ(t(2, 1), -1.0);
  // n = 0 and n = 1.
  fmat2 e(1, 0, 1, 0);
  fmat1 eb(1, 0);
  EXPECT_EQ(solvelu(0, e, eb), 0);
  fmat2 o(1, 1, 1, 1);
  fmat1 ob(1, 1);
  o(1, 1) = 4;
  ob(1) = 2;
  solvelu(1, o, ob);
  EXPECT_EQ(ob(1), 0.5);
  // A zero pivot is reported with its column.
  fmat2 z(1, 2, 1, 2);
  fmat1 zb(1, 2);
  z.fill(0.0);
  z(1, 1) = 1;
  zb.fill(1.0);
  EXPECT_EQ(solvelu(2, z, zb), 2);
}

TEST(SolveLu, RandomSystemsAndTheBitIdenticalFastForm) {
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> u(-1, 1);
  for (int n : {7, 60, 150}) {
    fmat2 a(1, n, 1, n);
    fmat1 b(1, n);
    for (int i = 1; i <= n; ++i) {
      b(i) = u(rng);
      for (int j = 1; j <= n; ++j) a(i, j) = u(rng) + (i == j ? 0.5 * n : 0.0);
    }
    fmat2 a0 = a, a1 = a;
    fmat1 b0 = b, b1 = b;
    ASSERT_EQ(solvelu(n, a, b), 0);
    plain_lu(n, a1, b1);
    EXPECT_EQ(std::memcmp(a.data(), a1.data(), sizeof(double) * n * n), 0);
    EXPECT_EQ(std::memcmp(b.data(), b1.data(), sizeof(double) * n), 0);
    // Relative residual.
    double worst = 0.0, scale = 0.0;
    for (int i = 1; i <= n; ++i) {
      double sum = 0.0;
      for (int j = 1; j <= n; ++j) sum += a0(i, j) * b(j);
      worst = std::max(worst, std::fabs(sum - b0(i)));
      scale = std::max(scale, std::fabs(b0(i)));
    }
    EXPECT_LT(worst / scale, 1e-12) << n;
  }
}

TEST(Newton, PneumaticNetConvergesQuadraticallyAfterTheFirstStep) {
  model m = from_text(test::makenet("disc rings=3 radius=10 pressure=-1 program=2 maxmajor=3 maxminor=200 mntol=1e-10"));
  start2(m);
  std::FILE* out = std::tmpfile();
  solution(m, out);
  std::rewind(out);
  char line[128];
  std::vector<int> minors;
  while (std::fgets(line, sizeof line, out)) {
    int major = 0, minor = 0;
    ASSERT_EQ(std::sscanf(line, "Major = %5d   Minor = %5d", &major, &minor), 2) << line;
    EXPECT_EQ(major, static_cast<int>(minors.size()) + 1);
    minors.push_back(minor);
  }
  std::fclose(out);
  ASSERT_EQ(minors.size(), 3u);
  EXPECT_GT(minors[0], 8);  // from the flat net the first corrections are huge
  EXPECT_LE(minors[1], 8);
  EXPECT_LE(minors[2], 8);
}

TEST(Newton, NoPressureMeansASingularFirstTangent) {
  model m = from_text(test::makenet("rect support=corners weight=1 program=2 maxmajor=2"));
  start2(m);
  std::FILE* out = std::tmpfile();
  try {
    solution(m, out);
    FAIL() << "no failure";
  } catch (const failure& f) {
    EXPECT_EQ(f.status, exit_solution);
    std::string what = f.what();
    EXPECT_NE(what.find("at load step 1, iteration 1"), std::string::npos) << what;
    EXPECT_NE(what.find("no pressure"), std::string::npos) << what;
  }
  std::fclose(out);
}

TEST(Newton, StepsWithoutIterations) {
  // Zero loads: every step is balanced at once and reports minor = 0.
  model m = from_text(test::makenet("disc rings=2 program=2 maxmajor=2 pressure=0 weight=0"));
  start2(m);
  std::FILE* out = std::tmpfile();
  solution(m, out);
  std::rewind(out);
  char line[128];
  ASSERT_NE(std::fgets(line, sizeof line, out), nullptr);
  EXPECT_STREQ(line, "Major =     1   Minor =     0\n");
  std::fclose(out);
  // maxminor = 0 under load: each step out of balance.
  model k = from_text(test::makenet("disc rings=2 program=2 maxmajor=1 maxminor=0 pressure=-1"));
  start2(k);
  std::FILE* out2 = std::tmpfile();
  solution(k, out2);
  std::rewind(out2);
  ASSERT_NE(std::fgets(line, sizeof line, out2), nullptr);
  EXPECT_STREQ(line, "Convergence was not attained at major =     1\n");
  std::fclose(out2);
}

TEST(Newton, TooLargeForMemory) {
  try {
    check_tangent_memory(2000000);
    FAIL();
  } catch (const failure& f) {
    EXPECT_NE(std::string(f.what()).find("n = 2000000 unknowns; the Newton tangent needs 32000.0 GB"), std::string::npos)
        << f.what();
  }
}
