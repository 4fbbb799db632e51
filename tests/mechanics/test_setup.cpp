// Set-up of a net: numbering of the unknowns, plan data of the triangles,
// self-weight and plane-stress coefficients.
#include <gtest/gtest.h>

#include "mechanics/setup.h"
#include "tests/testutil.h"

using namespace domica;

TEST(Setup, NumberingOfCoordinates) {
  // nn = 2 with only z of node 1 fixed.
  problem p = test::problem_from_text(": p\n0.9 10 1e-6 100 1 5\n: m\n1 0 1 0 0\n: n\n2\nh\n1 0 0\n2 1 0\n: e\n0\nh\n: f\n1\nh\n1 3 0\n: l\n0\n",
                                      program::domica_3);
  numbering d = number(p.nt);
  EXPECT_EQ(d.n, 5);
  EXPECT_EQ(d.index(1, 1), 1);
  EXPECT_EQ(d.index(1, 2), 2);
  EXPECT_EQ(d.index(1, 3), 6);
  EXPECT_EQ(d.index(2, 1), 3);
  EXPECT_EQ(d.index(2, 2), 4);
  EXPECT_EQ(d.index(2, 3), 5);
  // No fixed coordinates: index = 3 (glob - 1) + axis.
  numbering free = number(test::one_triangle("1 2 3").nt);
  EXPECT_EQ(free.n, 9);
  for (int glob = 1; glob <= 3; ++glob)
    for (int axis = 1; axis <= 3; ++axis) EXPECT_EQ(free.index(glob, axis), 3 * (glob - 1) + axis);
}

TEST(Setup, PlanGeometryForBothCornerOrders) {
  arr1<cst_plan> a = plan(test::one_triangle("1 2 3").nt, 0.5);
  EXPECT_EQ(a(1).volume, 0.25);  // plan area 0.5 times thickness 0.5
  EXPECT_EQ(a(1).c(1, 1), -1.0);
  EXPECT_EQ(a(1).c(1, 2), 1.0);
  EXPECT_EQ(a(1).c(1, 3), 0.0);
  EXPECT_EQ(a(1).c(2, 1), -1.0);
  EXPECT_EQ(a(1).c(2, 2), 0.0);
  EXPECT_EQ(a(1).c(2, 3), 1.0);
  // Clockwise: the same volume, and each node keeps its derivatives.
  arr1<cst_plan> b = plan(test::one_triangle("1 3 2").nt, 0.5);
  EXPECT_EQ(b(1).volume, 0.25);
  EXPECT_EQ(b(1).c(1, 1), -1.0);
  EXPECT_EQ(b(1).c(1, 2), 0.0);
  EXPECT_EQ(b(1).c(1, 3), 1.0);
  EXPECT_EQ(b(1).c(2, 1), -1.0);
  EXPECT_EQ(b(1).c(2, 2), 1.0);
  EXPECT_EQ(b(1).c(2, 3), 0.0);
}

TEST(Setup, SelfWeightAndCoefficients) {
  // The square: node 1 and node 3 belong to both triangles.
  problem p = test::problem_from_text(test::square_weblar(program::domica_3), program::domica_3);
  p.load.weight = 6.0;
  assembly as = setup(p);
  fmat2 ff = fixed_loads(p, as);
  const double third = -(0.05 * 6.0 / 3.0);
  EXPECT_EQ(ff(1, 3), third + third);
  EXPECT_EQ(ff(2, 3), third);
  EXPECT_EQ(ff(3, 3), third + third);
  EXPECT_EQ(ff(4, 3), third);
  EXPECT_EQ(ff(1, 1), 0.0);

  hooke h = coefficients(material{7.0, 0.0, 1.0});
  EXPECT_EQ(h.h11, 7.0);
  EXPECT_EQ(h.h22, 7.0);
  EXPECT_EQ(h.h12, 0.0);
  EXPECT_EQ(h.h21, 0.0);
  EXPECT_EQ(h.h33, 14.0);
}
