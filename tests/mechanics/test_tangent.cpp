// domica_2: the element's out-of-balance forces and exact tangent, and their
// assembly into a tangent.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "domica_2/driver.h"
#include "mechanics/tangent.h"
#include "mechanics/structure.h"
#include "numerics/norm.h"
#include "tests/testutil.h"

using namespace domica;

namespace {

problem from_text(const std::string& text) { return test::problem_from_text(text, program::domica_2); }

struct unit_triangle {
  problem p;
  state2 s;
  explicit unit_triangle(const char* corners)
      : p(from_text(std::string(": p\n1e-6 10 1\n: m\n1000 0.3 0.1 0 6\n: n\n3\nh\n1 0 0\n2 1 0\n3 0 1\n: e\n1\nh\n1 ") + corners +
                    "\n: f\n0\n: l\n0\n")),
        s(start2(p)) {}
  void at(double pressure, const fmat1& x, fvec9x1& re, fmat9x9& se) const { element(p.nt, s.as, 1, pressure, x, re, se); }
};

// A tangent that keeps every entry, to look at what the assembly adds.
struct full_matrix {
  fmat2 a;
  void zero() { a.fill(0.0); }
  void add(int i, int j, double v) { a(i, j) = a(i, j) + v; }
};

}  // namespace

TEST(Element, FlatUnitTriangleUnderPressure) {
  unit_triangle m("1 2 3");
  fvec9x1 re;
  fmat9x9 se;
  m.at(6.0, m.s.x, re, se);
  for (int loc = 0; loc < 3; ++loc) {
    EXPECT_EQ(re(3 * loc + 1), 0.0);
    EXPECT_EQ(re(3 * loc + 2), 0.0);
    EXPECT_EQ(re(3 * loc + 3), 1.0);
  }
  // Swapped corners: the pressure acts on the other side.
  unit_triangle s("1 3 2");
  s.at(6.0, s.s.x, re, se);
  EXPECT_EQ(re(3), -1.0);
  // At the flat plan no z row or column has material stiffness.
  m.at(0.0, m.s.x, re, se);
  for (int p = 1; p <= 9; ++p)
    for (int z : {3, 6, 9}) {
      EXPECT_EQ(se(z, p), 0.0);
      EXPECT_EQ(se(p, z), 0.0);
    }
}

TEST(Element, RigidTranslationChangesNothing) {
  unit_triangle m("1 2 3");
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> u(-0.2, 0.2);
  fmat1 x(9);
  for (int i = 1; i <= 9; ++i) x(i) = u(rng);
  fvec9x1 re, re2;
  fmat9x9 se, se2;
  m.at(2.5, x, re, se);
  fmat1 moved = x;
  const imat2& index = m.s.as.d.index;
  for (int glob = 1; glob <= 3; ++glob) {
    moved(index(glob, 1)) += 0.5;
    moved(index(glob, 2)) -= 0.25;
    moved(index(glob, 3)) += 3.0;
  }
  m.at(2.5, moved, re2, se2);
  for (int p = 1; p <= 9; ++p) {
    EXPECT_NEAR(re2(p), re(p), 1e-12);
    for (int q = 1; q <= 9; ++q) EXPECT_NEAR(se2(p, q), se(p, q), 1e-12);
  }
}

TEST(Element, TangentAgreesWithCentralDifferences) {
  unit_triangle m("1 2 3");
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> u(-0.3, 0.3);
  fmat1 x(9);
  for (int trial = 0; trial < 5; ++trial) {
    for (int i = 1; i <= 9; ++i) x(i) = u(rng);
    const double pressure = trial % 2 ? -4.0 : 7.0;
    fvec9x1 re, rp, rm;
    fmat9x9 se, dummy;
    m.at(pressure, x, re, se);
    double scale = 0.0;
    for (int p = 1; p <= 9; ++p)
      for (int q = 1; q <= 9; ++q) scale = std::max(scale, std::fabs(se(p, q)));
    for (int q = 1; q <= 9; ++q) {
      const double h = 1e-6;
      int k = m.s.as.d.index(m.p.nt.tri(1)((q - 1) / 3 + 1), (q - 1) % 3 + 1);
      fmat1 xp = x, xm = x;
      xp(k) += h;
      xm(k) -= h;
      m.at(pressure, xp, rp, dummy);
      m.at(pressure, xm, rm, dummy);
      for (int p = 1; p <= 9; ++p) EXPECT_NEAR((rp(p) - rm(p)) / (2 * h), se(p, q), 1e-6 * scale) << p << "," << q;
    }
  }
}

TEST(Assembly, EdgeCases) {
  // n = 0: everything fixed, nothing assembled.
  problem all = from_text(": p\n1e-6 10 1\n: m\n1 0.3 0.1 0 6\n: n\n3\nh\n1 0 0\n2 1 0\n3 0 1\n: e\n1\nh\n1 1 2 3\n: f\n9\nh\n"
                          "1 1\n1 2\n1 3\n2 1\n2 2\n2 3\n3 1\n3 2\n3 3\n: l\n0\n");
  state2 sa = start2(all);
  EXPECT_EQ(sa.as.d.n, 0);
  fmat1 r, force;
  full_matrix s;
  structure(all.nt, sa.as, 6.0, force, sa.x, r, s);
  EXPECT_EQ(nlp::norm(0, r), 0.0);
  // ne = 0 gives r = -force and s = 0.
  problem none = from_text(": p\n1e-6 10 1\n: m\n1 0.3 0.1 0 6\n: n\n1\nh\n1 0 0\n: e\n0\nh\n: f\n0\n: l\n0\n");
  state2 sn = start2(none);
  fmat1 f3(3), r3(3), x3(3);
  full_matrix s3{fmat2(3, 3)};
  f3(1) = 1;
  f3(2) = -2;
  f3(3) = 3;
  s3.a.fill(9.0);
  structure(none.nt, sn.as, 0.0, f3, x3, r3, s3);
  EXPECT_EQ(r3(2), 2.0);
  EXPECT_EQ(s3.a(2, 3), 0.0);
  // One free coordinate: one entry of r and one diagonal entry of s.
  problem one = from_text(": p\n1e-6 10 1\n: m\n1 0.3 0.1 0 6\n: n\n3\nh\n1 0 0\n2 1 0\n3 0 1\n: e\n1\nh\n1 1 2 3\n: f\n8\nh\n"
                          "1 1\n1 2\n1 3\n2 1\n2 2\n2 3\n3 1\n3 2\n: l\n0\n");
  state2 so = start2(one);
  ASSERT_EQ(so.as.d.n, 1);
  fmat1 r1(1), f1(1), x1(1);
  full_matrix s1{fmat2(1, 1)};
  structure(one.nt, so.as, 6.0, f1, x1, r1, s1);
  EXPECT_EQ(r1(1), 1.0);  // the pressure force on corner 3 in z
  EXPECT_EQ(s1.a(1, 1), 0.0);
}
