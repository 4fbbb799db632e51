// domica_3: follower pressure, the start threshold and the load steps, down to
// the console lines of a run.
#include <gtest/gtest.h>

#include <cmath>

#include "domica_3/driver.h"
#include "mechanics/energy.h"
#include "numerics/norm.h"
#include "tests/testutil.h"

using namespace domica;

namespace {

problem from_text(const std::string& text) { return test::problem_from_text(text, program::domica_3); }

// The console lines solve3 writes for problem p.
std::string solve_lines(const problem& p, state3& s, int maxcalls = max_calls_per_step) {
  return test::lines_of([&](domica::progress& pr) { solve3(p, s, pr, maxcalls); });
}

}  // namespace

TEST(SetForce, PressureFollowsCornerOrderAndShape) {
  // Anticlockwise corners on the flat plan: a positive pressure loads each
  // node by -pressure A / 3 in z; clockwise corners turn it upward.
  problem a = test::one_triangle("1 2 3", 6.0);
  state3 sa = start3(a);
  setforce(a.nt, sa.as.d, 6.0, 1.0, sa.x, sa.loads, sa.ld);
  for (int glob = 1; glob <= 3; ++glob) {
    EXPECT_EQ(sa.ld.force(glob, 3), -1.0);
    EXPECT_EQ(sa.ld.force(glob, 1), 0.0);
  }
  problem b = test::one_triangle("1 3 2", 6.0);
  state3 sb = start3(b);
  setforce(b.nt, sb.as.d, 6.0, 1.0, sb.x, sb.loads, sb.ld);
  EXPECT_EQ(sb.ld.force(1, 3), 1.0);
  // Factor 0 leaves ff; two calls give the same loads.
  setforce(a.nt, sa.as.d, 6.0, 0.0, sa.x, sa.loads, sa.ld);
  EXPECT_EQ(sa.ld.force(2, 3), 0.0);
  fmat1 x(9);
  for (int i = 1; i <= 9; ++i) x(i) = 0.01 * i;
  setforce(a.nt, sa.as.d, 6.0, 0.7, x, sa.loads, sa.ld);
  fmat2 first = sa.ld.force;
  setforce(a.nt, sa.as.d, 6.0, 0.7, x, sa.loads, sa.ld);
  for (int glob = 1; glob <= 3; ++glob)
    for (int axis = 1; axis <= 3; ++axis) EXPECT_EQ(sa.ld.force(glob, axis), first(glob, axis));
  // Tilting the triangle about the x axis by 60 degrees: the load tilts with
  // it and keeps the magnitude pressure times area over 3.
  fmat1 tilt(9);
  tilt(sa.as.d.index(3, 2)) = std::cos(M_PI / 3) - 1;
  tilt(sa.as.d.index(3, 3)) = std::sin(M_PI / 3);
  setforce(a.nt, sa.as.d, 6.0, 1.0, tilt, sa.loads, sa.ld);
  double fx = sa.ld.force(1, 1), fy = sa.ld.force(1, 2), fz = sa.ld.force(1, 3);
  EXPECT_NEAR(std::sqrt(fx * fx + fy * fy + fz * fz), 1.0, 1e-15);
  EXPECT_NEAR(fy, std::sin(M_PI / 3), 1e-15);
  EXPECT_NEAR(fz, -std::cos(M_PI / 3), 1e-15);
}

TEST(Start3, MaxnormComesFromTheFullLoad) {
  problem p = test::one_triangle("1 2 3", 6.0);
  p.st.mntol = 0.5;
  p.st.maxmajor = 4;
  state3 s = start3(p);
  // Full pressure gives |force| = 1 per node, whatever the first step's factor.
  EXPECT_EQ(s.maxnorm, 0.5);
  EXPECT_EQ(s.x.size(), 9u);
}

TEST(Solve3, LoadStepsLinesAndTheBoundOnCalls) {
  problem p = from_text(test::makenet("disc rings=3 radius=10 pressure=-1 maxmajor=2 maxminor=1000 mntol=1e-6"));
  state3 s = start3(p);
  std::string text = solve_lines(p, s);
  int count = 0, last_major = 0;
  for (std::size_t at = 0; at < text.size(); at = text.find('\n', at) + 1) {
    ++count;
    int major = 0, minor = 0;
    ASSERT_EQ(std::sscanf(text.c_str() + at, "Major = %5d   Minor = %5d", &major, &minor), 2) << text;
    EXPECT_EQ(text.find('\n', at) - at, 29u);
    EXPECT_GE(major, last_major);
    last_major = major;
  }
  EXPECT_GE(count, 2);
  EXPECT_EQ(last_major, 2);
  // Equilibrium under the loads set for the found shape.
  setforce(p.nt, s.as.d, p.load.pressure, 1.0, s.x, s.loads, s.ld);
  energy(p.nt, s.as, s.ld.force, s.x, s.g, s.ws);
  EXPECT_LE(nlp::norm(s.as.d.n, s.g), s.maxnorm);

  // A step that cannot settle within the bound of calls is reported once per
  // call and the run goes on with the next step.
  problem b = from_text(test::makenet("disc rings=3 radius=10 pressure=-1 maxmajor=2 maxminor=2 mntol=1e-9"));
  state3 sb = start3(b);
  std::string one = "Convergence was not attained at major =     1\n", two = "Convergence was not attained at major =     2\n";
  EXPECT_EQ(solve_lines(b, sb, 3), one + one + one + two + two + two);
}

TEST(Solve3, NoLoadStepsAndNoCallNeeded) {
  problem p = from_text(test::makenet("disc rings=2 pressure=-1 maxmajor=0"));
  state3 s = start3(p);
  EXPECT_EQ(solve_lines(p, s), "");
  // mntol >= 1: at x = 0 the gradient of each step is at most the full-load
  // gradient, so no step needs a minimiser call and nothing is printed.
  problem k = from_text(test::makenet("disc rings=2 pressure=-1 maxmajor=2 mntol=1"));
  state3 sk = start3(k);
  EXPECT_EQ(solve_lines(k, sk), "");
}
