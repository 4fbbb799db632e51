// Membrane forces of the found surface on one triangle moved by hand:
// (0,0), (1,0), (0,1) in plan, E = 1000, poisson 0, thickness 0.5, so
// h S = 500 E (Green-Lagrange) for the normal components and 250 (2 Exy) for shear.
#include <gtest/gtest.h>

#include <cmath>

#include "mechanics/forces.h"
#include "tests/testutil.h"

using namespace domica;

namespace {

// The forces with nodes 1 to 3 moved to the given positions (3 x 3), the
// triangle's corners in the order `corners`.
membrane_forces moved(const double corner[3][3], const char* corners = "1 2 3") {
  problem p = test::one_triangle(corners);
  assembly as = setup(p);
  fmat1 x(as.d.n);
  for (int glob = 1; glob <= 3; ++glob) {
    double plan[3] = {p.nt.xo(glob), p.nt.yo(glob), 0.0};
    for (int axis = 1; axis <= 3; ++axis) x(as.d.index(glob, axis)) = corner[glob - 1][axis - 1] - plan[axis - 1];
  }
  return forces(p.nt, as, p.mat.thickness, make_surface(p.nt, as.d, x));
}

// Rotation by 30 degrees about global x, then 40 degrees about global z.
void rotate(const double in[3], double out[3]) {
  const double a = std::acos(-1.0) / 6, b = 2 * std::acos(-1.0) / 9;
  double y = std::cos(a) * in[1] - std::sin(a) * in[2], z = std::sin(a) * in[1] + std::cos(a) * in[2];
  out[0] = std::cos(b) * in[0] - std::sin(b) * y;
  out[1] = std::sin(b) * in[0] + std::cos(b) * y;
  out[2] = z;
}

}  // namespace

TEST(Forces, StretchAlongPlanXFlatAndTurnedInSpace) {
  // x = 1.1 X: Exx = 0.105, h Sxx = 52.5, n = 1.1^2 52.5 / 1.1 = 57.75 along x.
  double flat[3][3] = {{0, 0, 0}, {1.1, 0, 0}, {0, 1, 0}};
  tri_force t = moved(flat).tri(1);
  EXPECT_NEAR(t.n11, 57.75, 1e-11);
  EXPECT_NEAR(t.n22, 0.0, 1e-12);
  EXPECT_NEAR(t.n12, 0.0, 1e-12);
  EXPECT_NEAR(t.n1, 57.75, 1e-11);
  EXPECT_NEAR(t.n2, 0.0, 1e-12);
  EXPECT_NEAR(std::fabs(t.dir(1)), 1.0, 1e-12);
  EXPECT_NEAR(t.ratio, 1.1, 1e-15);
  EXPECT_NEAR(t.area, 0.55, 1e-15);
  // Corners given clockwise: the frame turns over, the forces do not.
  tri_force cw = moved(flat, "1 3 2").tri(1);
  EXPECT_NEAR(cw.n1, 57.75, 1e-11);
  EXPECT_NEAR(cw.n2, 0.0, 1e-12);
  EXPECT_NEAR(cw.ratio, 1.1, 1e-15);
  // The same triangle turned in space: the same principal forces, and the
  // direction of n1 is the turned x axis.
  double turned[3][3];
  for (int k = 0; k < 3; ++k) rotate(flat[k], turned[k]);
  double ex[3] = {1, 0, 0}, rx[3];
  rotate(ex, rx);
  tri_force r = moved(turned).tri(1);
  EXPECT_NEAR(r.n1, 57.75, 1e-11);
  EXPECT_NEAR(r.n2, 0.0, 1e-11);
  EXPECT_NEAR(r.ratio, 1.1, 1e-14);
  EXPECT_NEAR(std::fabs(r.dir(1) * rx[0] + r.dir(2) * rx[1] + r.dir(3) * rx[2]), 1.0, 1e-12);
}

TEST(Forces, SimpleShear) {
  // x = X + 0.01 Y: Eyy = 5e-5, Exy = 0.005; h S = [[0, 2.5], [2.5, 0.025]],
  // J = 1, n = F h S F^T = [[0.0500025, 2.50025], [2.50025, 0.025]].
  double corner[3][3] = {{0, 0, 0}, {1, 0, 0}, {0.01, 1, 0}};
  membrane_forces f = moved(corner);
  tri_force t = f.tri(1);
  EXPECT_NEAR(t.n11, 0.0500025, 1e-12);
  EXPECT_NEAR(t.n22, 0.025, 1e-12);
  EXPECT_NEAR(t.n12, 2.50025, 1e-12);
  double r = std::hypot(0.01250125, 2.50025);
  EXPECT_NEAR(t.n1, 0.03750125 + r, 1e-12);
  EXPECT_NEAR(t.n2, 0.03750125 - r, 1e-12);
  EXPECT_NEAR(t.ratio, 1.0, 1e-15);
  // n1 lies close to the diagonal x = y.
  EXPECT_NEAR(t.dir(1) * t.dir(2), 0.5, 1e-4);
  // One triangle: each node carries its values.
  for (int glob = 1; glob <= 3; ++glob) {
    EXPECT_DOUBLE_EQ(f.node(glob, 1), t.n1);
    EXPECT_DOUBLE_EQ(f.node(glob, 2), t.n2);
  }
}

TEST(Forces, RigidMotionGivesNoForceAndCollapseGivesZeros) {
  double plan[3][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, turned[3][3];
  for (int k = 0; k < 3; ++k) {
    rotate(plan[k], turned[k]);
    turned[k][2] += 2.0;
  }
  tri_force t = moved(turned).tri(1);
  for (double v : {t.n11, t.n22, t.n12, t.n1, t.n2}) EXPECT_NEAR(v, 0.0, 1e-12);
  EXPECT_NEAR(t.ratio, 1.0, 1e-15);
  // Corner 3 pushed onto the edge 1-2: zero found area, no force per unit length.
  double collapsed[3][3] = {{0, 0, 0}, {1, 0, 0}, {0.5, 0, 0}};
  membrane_forces f = moved(collapsed);
  for (double v : {f.tri(1).n11, f.tri(1).n22, f.tri(1).n12, f.tri(1).n1, f.tri(1).n2, f.tri(1).ratio, f.tri(1).area})
    EXPECT_EQ(v, 0.0);
  for (int glob = 1; glob <= 3; ++glob) EXPECT_EQ(f.node(glob, 1), 0.0);
}

// A hexagon of six triangles around node 1 with the centre lifted and two
// edge nodes pulled out: around node 1 the triangles differ in found area and
// in force, and each node carries the mean of its triangles weighted by
// their found areas, not their plain mean.
TEST(Forces, NodeValuesWeightedByFoundArea) {
  problem p = test::problem_from_text(
      ": p\n0.9 10 1e-6 100 1 5\n: m\n1000 0.3 0.1 0 0\n: n\n7\nh\n1 0 0\n2 1 0\n3 0.5 0.866\n4 -0.5 0.866\n"
      "5 -1 0\n6 -0.5 -0.866\n7 0.5 -0.866\n: e\n6\nh\n1 2 3 1\n2 3 4 1\n3 4 5 1\n4 5 6 1\n5 6 7 1\n6 7 2 1\n"
      ": f\n0\n: l\n0\n",
      program::domica_3);
  assembly as = setup(p);
  const double found[7][3] = {{0.05, 0.02, 0.4}, {1.3, 0, 0}, {0.5, 0.866, 0}, {-0.6, 1.0, 0},
                              {-1, 0, 0},        {-0.5, -0.866, 0.1}, {0.5, -0.866, 0}};
  fmat1 x(as.d.n);
  for (int glob = 1; glob <= 7; ++glob) {
    double plan[3] = {p.nt.xo(glob), p.nt.yo(glob), 0.0};
    for (int axis = 1; axis <= 3; ++axis) x(as.d.index(glob, axis)) = found[glob - 1][axis - 1] - plan[axis - 1];
  }
  membrane_forces f = forces(p.nt, as, p.mat.thickness, make_surface(p.nt, as.d, x));
  for (int glob = 1; glob <= 7; ++glob)
    for (int k = 1; k <= 2; ++k) {
      double sum = 0.0, area = 0.0, plain = 0.0;
      int around = 0;
      for (int e = 1; e <= 6; ++e) {
        const tri_force& t = f.tri(e);
        if (p.nt.tri(e)(1) != glob && p.nt.tri(e)(2) != glob && p.nt.tri(e)(3) != glob) continue;
        sum += t.area * (k == 1 ? t.n1 : t.n2);
        area += t.area;
        plain += k == 1 ? t.n1 : t.n2;
        ++around;
      }
      plain /= around;
      EXPECT_NEAR(f.node(glob, k), sum / area, 1e-12 * std::fabs(sum / area)) << "node " << glob << ", n" << k;
      // At the centre the weighting matters: the plain mean is well away.
      if (glob == 1) {
        EXPECT_GT(std::fabs(f.node(glob, k) - plain), 0.01 * std::fabs(plain)) << "n" << k;
      }
    }
  // The triangles around the centre do differ in area.
  double small = f.tri(1).area, large = small;
  for (int e = 2; e <= 6; ++e) small = std::fmin(small, f.tri(e).area), large = std::fmax(large, f.tri(e).area);
  EXPECT_GT(large, 1.2 * small);
}
