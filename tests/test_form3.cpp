// domica_3: set-up, membrane energy and its gradient, follower pressure and
// the load steps, down to the console lines of a whole run.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "common/input.h"
#include "common/setup.h"
#include "domica_3/driver.h"
#include "domica_3/objective.h"
#include "domica_3/setforce.h"
#include "domica_3/start.h"
#include "nlp/norm.h"
#include "tests/testutil.h"

using namespace domica;

namespace {

model from_text(const std::string& text) { return test::model_from_text(text, program::domica_3); }

// One triangle with the given corner order, nodes at (0,0), (1,0), (0,1), all free.
model one_triangle(const char* corners, double pressure = 0.0, double density = 0.0) {
  std::string text = ": p\n0.9 10 1e-6 100 1 5\n: m\n1000 0 0.5 " + std::to_string(density) + " " + std::to_string(pressure) +
                     "\n: n\n3\nh\n1 0 0\n2 1 0\n3 0 1\n: e\n1\nh\n1 " + corners + "\n: f\n0\n: l\n0\n";
  return from_text(text);
}

}  // namespace

TEST(Setup, NumberingOfCoordinates) {
  // nn = 2 with only z of node 1 fixed.
  model m = from_text(": p\n0.9 10 1e-6 100 1 5\n: m\n1 0 1 0 0\n: n\n2\nh\n1 0 0\n2 1 0\n: e\n0\nh\n: f\n1\nh\n1 3 0\n: l\n0\n");
  number(m);
  EXPECT_EQ(m.n, 5);
  EXPECT_EQ(m.index(1, 1), 1);
  EXPECT_EQ(m.index(1, 2), 2);
  EXPECT_EQ(m.index(1, 3), 6);
  EXPECT_EQ(m.index(2, 1), 3);
  EXPECT_EQ(m.index(2, 2), 4);
  EXPECT_EQ(m.index(2, 3), 5);
  // No fixed coordinates: index = 3 (glob - 1) + axis.
  model free = one_triangle("1 2 3");
  number(free);
  EXPECT_EQ(free.n, 9);
  for (int glob = 1; glob <= 3; ++glob)
    for (int axis = 1; axis <= 3; ++axis) EXPECT_EQ(free.index(glob, axis), 3 * (glob - 1) + axis);
}

TEST(Setup, PlanGeometryForBothCornerOrders) {
  model a = one_triangle("1 2 3");
  plan(a);
  EXPECT_EQ(a.cst(1).volume, 0.25);  // plan area 0.5 times thickness 0.5
  EXPECT_EQ(a.cst(1).c(1, 1), -1.0);
  EXPECT_EQ(a.cst(1).c(1, 2), 1.0);
  EXPECT_EQ(a.cst(1).c(1, 3), 0.0);
  EXPECT_EQ(a.cst(1).c(2, 1), -1.0);
  EXPECT_EQ(a.cst(1).c(2, 2), 0.0);
  EXPECT_EQ(a.cst(1).c(2, 3), 1.0);
  // Clockwise: the same volume, and each node keeps its derivatives.
  model b = one_triangle("1 3 2");
  plan(b);
  EXPECT_EQ(b.cst(1).volume, 0.25);
  EXPECT_EQ(b.cst(1).c(1, 1), -1.0);
  EXPECT_EQ(b.cst(1).c(1, 2), 0.0);
  EXPECT_EQ(b.cst(1).c(1, 3), 1.0);
  EXPECT_EQ(b.cst(1).c(2, 1), -1.0);
  EXPECT_EQ(b.cst(1).c(2, 2), 1.0);
  EXPECT_EQ(b.cst(1).c(2, 3), 0.0);
}

TEST(Setup, SelfWeightAndCoefficients) {
  // The square: node 1 and node 3 belong to both triangles.
  model m = from_text(test::square_weblar(program::domica_3));
  m.density = 6.0;
  number(m);
  plan(m);
  selfweight(m, m.density, m.ff);
  const double third = -(0.05 * 6.0 / 3.0);
  EXPECT_EQ(m.ff(1, 3), third + third);
  EXPECT_EQ(m.ff(2, 3), third);
  EXPECT_EQ(m.ff(3, 3), third + third);
  EXPECT_EQ(m.ff(4, 3), third);
  EXPECT_EQ(m.ff(1, 1), 0.0);

  m.young = 7.0;
  m.poisson = 0.0;
  coefficients(m);
  EXPECT_EQ(m.hooke11, 7.0);
  EXPECT_EQ(m.hooke22, 7.0);
  EXPECT_EQ(m.hooke12, 0.0);
  EXPECT_EQ(m.hooke21, 0.0);
  EXPECT_EQ(m.hooke33, 14.0);
}

TEST(Objective, GradientAgreesWithCentralDifferences) {
  // A real net with free and fixed coordinates and non-zero prescribed displacements.
  model m = from_text(test::makenet("disc rings=3 radius=4 pressure=-0.3 weight=0.7 young=50 poisson=0.25"));
  for (int glob = 1; glob <= m.nn; ++glob)
    if (m.index(glob, 3) == 1) m.known(glob, 3) = 0.1 * std::sin(glob);
  start3(m);
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u(-0.3, 0.3);
  for (int trial = 0; trial < 3; ++trial) {
    fmat1 x(1, m.n), g(1, m.n), gp(1, m.n);
    for (int i = 1; i <= m.n; ++i) x(i) = u(rng);
    setforce(m, 0.5, x);
    objective(m, m.n, x, g);
    double worst = 0.0;
    for (int i = 1; i <= m.n; ++i) {
      const double h = 1e-6;
      fmat1 xp = x, xm = x;
      xp(i) += h;
      xm(i) -= h;
      double fd = (objective(m, m.n, xp, gp) - objective(m, m.n, xm, gp)) / (2 * h);
      worst = std::max(worst, std::fabs(fd - g(i)) / std::max(1.0, std::fabs(g(i))));
    }
    EXPECT_LT(worst, 1e-6) << "trial " << trial;
  }
}

TEST(Objective, StrainFreeStatesGiveOnlyTheLoadTerm) {
  model m = one_triangle("1 2 3");
  start3(m);
  // At x = 0 every strain vanishes: f = 0 and g = -force.
  m.ff(2, 3) = 4.0;
  setforce(m, 1.0, m.x);
  fmat1 g(1, m.n);
  EXPECT_EQ(objective(m, m.n, m.x, g), 0.0);
  EXPECT_EQ(g(m.index(2, 3)), -4.0);
  EXPECT_EQ(g(m.index(1, 1)), -0.0);
  // A rigid translation: only the load term remains.
  fmat1 x(1, m.n);
  for (int glob = 1; glob <= 3; ++glob) {
    x(m.index(glob, 1)) = 0.5;
    x(m.index(glob, 2)) = -0.25;
    x(m.index(glob, 3)) = 2.0;
  }
  EXPECT_NEAR(objective(m, m.n, x, g), -8.0, 1e-15);
  // A stretch along plan x by (1 + t): energy 0.5 volume hooke11 exx^2.
  double t = 0.1;
  fmat1 s(1, m.n);
  s.fill(0.0);
  s(m.index(2, 1)) = t;
  m.ff.fill(0.0);
  setforce(m, 1.0, s);
  double exx = t + t * t / 2;
  EXPECT_NEAR(objective(m, m.n, s, g), 0.5 * 0.25 * m.hooke11 * exx * exx, 1e-15);
}

TEST(SetForce, PressureFollowsCornerOrderAndShape) {
  // Anticlockwise corners on the flat plan: a positive pressure loads each
  // node by -pressure A / 3 in z; clockwise corners turn it upward.
  model a = one_triangle("1 2 3", 6.0);
  start3(a);
  setforce(a, 1.0, a.x);
  for (int glob = 1; glob <= 3; ++glob) {
    EXPECT_EQ(a.force(glob, 3), -1.0);
    EXPECT_EQ(a.force(glob, 1), 0.0);
  }
  model b = one_triangle("1 3 2", 6.0);
  start3(b);
  setforce(b, 1.0, b.x);
  EXPECT_EQ(b.force(1, 3), 1.0);
  // Factor 0 and pressure 0 leave ff; two calls give the same loads.
  setforce(a, 0.0, a.x);
  EXPECT_EQ(a.force(2, 3), 0.0);
  fmat1 x(1, a.n);
  for (int i = 1; i <= a.n; ++i) x(i) = 0.01 * i;
  setforce(a, 0.7, x);
  fmat2 first = a.force;
  setforce(a, 0.7, x);
  for (int glob = 1; glob <= 3; ++glob)
    for (int axis = 1; axis <= 3; ++axis) EXPECT_EQ(a.force(glob, axis), first(glob, axis));
  // Tilting the triangle about the x axis by 60 degrees: the load tilts with
  // it and keeps the magnitude pressure times area over 3.
  fmat1 tilt(1, a.n);
  tilt.fill(0.0);
  tilt(a.index(3, 2)) = std::cos(M_PI / 3) - 1;
  tilt(a.index(3, 3)) = std::sin(M_PI / 3);
  setforce(a, 1.0, tilt);
  double fx = a.force(1, 1), fy = a.force(1, 2), fz = a.force(1, 3);
  EXPECT_NEAR(std::sqrt(fx * fx + fy * fy + fz * fz), 1.0, 1e-15);
  EXPECT_NEAR(fy, std::sin(M_PI / 3), 1e-15);
  EXPECT_NEAR(fz, -std::cos(M_PI / 3), 1e-15);
}

TEST(Start, MaxnormComesFromTheFullLoad) {
  model m = one_triangle("1 2 3", 6.0);
  m.mntol = 0.5;
  m.maxmajor = 4;
  start3(m);
  // Full pressure gives |force| = 1 per node, whatever the first step's factor.
  EXPECT_EQ(m.maxnorm, 0.5);
  EXPECT_EQ(m.x.size(), 9u);
  EXPECT_EQ(m.f, 0.0);
}

TEST(Driver3, LoadStepsLinesAndTheBoundOnCalls) {
  model m = from_text(test::makenet("disc rings=3 radius=10 pressure=-1 maxmajor=2 maxminor=1000 mntol=1e-6"));
  start3(m);
  std::FILE* out = std::tmpfile();
  solve3(m, out);
  std::rewind(out);
  char line[128];
  int count = 0, last_major = 0;
  while (std::fgets(line, sizeof line, out)) {
    ++count;
    int major = 0, minor = 0;
    ASSERT_EQ(std::sscanf(line, "Major = %5d   Minor = %5d", &major, &minor), 2) << line;
    EXPECT_EQ(std::string(line).size(), 30u);  // 29 characters and the line break
    EXPECT_GE(major, last_major);
    last_major = major;
  }
  std::fclose(out);
  EXPECT_GE(count, 2);
  EXPECT_EQ(last_major, 2);
  // Equilibrium under the loads set for the found shape.
  setforce(m, 1.0, m.x);
  objective(m, m.n, m.x, m.g);
  EXPECT_LE(nlp::norm(m.n, m.g), m.maxnorm);

  // A step that cannot settle within the bound of calls is reported once and
  // the run goes on with the next step.
  model b = from_text(test::makenet("disc rings=3 radius=10 pressure=-1 maxmajor=2 maxminor=2 mntol=1e-9"));
  start3(b);
  std::FILE* out2 = std::tmpfile();
  solve3(b, out2, 3);
  std::rewind(out2);
  int lines = 0, not_attained = 0;
  while (std::fgets(line, sizeof line, out2)) {
    ++lines;
    if (std::string(line) == "Convergence was not attained at major =     1\n" ||
        std::string(line) == "Convergence was not attained at major =     2\n")
      ++not_attained;
  }
  std::fclose(out2);
  EXPECT_EQ(lines, 6);  // three calls per step, each reported
  EXPECT_EQ(not_attained, 6);
}

TEST(Driver3, NoLoadStepsAndNoCallNeeded) {
  model m = from_text(test::makenet("disc rings=2 pressure=-1 maxmajor=0"));
  start3(m);
  std::FILE* out = std::tmpfile();
  solve3(m, out);
  EXPECT_EQ(std::ftell(out), 0L);
  std::fclose(out);
  // mntol >= 1: at x = 0 the gradient of each step is at most the full-load
  // gradient, so no step needs a minimiser call and nothing is printed.
  model k = from_text(test::makenet("disc rings=2 pressure=-1 maxmajor=2 mntol=1"));
  start3(k);
  std::FILE* out2 = std::tmpfile();
  solve3(k, out2);
  EXPECT_EQ(std::ftell(out2), 0L);
  std::fclose(out2);
}
