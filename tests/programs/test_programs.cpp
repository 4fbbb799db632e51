// The programs run as a user runs them, on the bundled examples: console
// lines (elapsed seconds masked), exit status, both result files, equilibrium
// of the found surface, and the same shape from domica_3 and domica_2.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <vector>

#include "domica_3/driver.h"
#include "mechanics/energy.h"
#include "numerics/norm.h"
#include "tests/testutil.h"

using namespace domica;

namespace {

std::string lines(std::initializer_list<std::pair<int, int>> steps) {
  std::string out;
  for (auto [major, minor] : steps) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "Major = %5d   Minor = %5d\n", major, minor);
    out += buf;
  }
  return out + "\nElapsed time = # seconds\n";
}

// Largest gradient component under the loads set for the found shape, and maxnorm.
std::pair<double, double> equilibrium(const std::string& dir) {
  problem p = test::problem_from_text(test::read(dir + "/weblar.txt"), program::domica_3);
  state3 s = start3(p);
  test::lines_of([&](domica::progress& pr) { solve3(p, s, pr); });
  setforce(p.nt, s.as.d, p.load.pressure, 1.0, s.x, s.loads, s.ld);
  energy(p.nt, s.as, s.ld.force, s.x, s.g, s.ws);
  return {nlp::norm(s.as.d.n, s.g), s.maxnorm};
}

}  // namespace

TEST(Programs, Domica3PneumaticDome) {
  std::string dir = test::example_dir("pneumatic_dome/domica_3");
  test::run_result r = test::run(DOMICA_3_EXE, dir, "", "--quiet");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(test::mask_elapsed(r.out),
            lines({{1, 191}, {1, 137}, {1, 67}, {1, 54}, {1, 33}, {1, 5}, {2, 131}, {2, 106}, {2, 71}, {2, 50}, {2, 42},
                   {2, 22}, {3, 129}, {3, 96}, {3, 71}, {3, 45}, {3, 45}, {3, 35}, {4, 111}, {4, 77}, {4, 65}, {4, 44},
                   {4, 43}, {4, 37}, {4, 6}}));
  std::vector<double> v = test::vertices(test::read(dir + "/autocad.scr"));
  ASSERT_EQ(v.size(), 3u * 217);
  EXPECT_NEAR(v[2], 3.10198, 1e-5);  // centre height
  EXPECT_EQ(test::read(dir + "/ansys.txt").substr(0, 16), "/TITLE, SOLID65\n");
  auto [gradient, maxnorm] = equilibrium(dir);
  EXPECT_LE(gradient, maxnorm);
}

TEST(Programs, Domica3SupportHeights) {
  std::string dir = test::example_dir("support_heights/domica_3");
  test::run_result r = test::run(DOMICA_3_EXE, dir);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(test::mask_elapsed(r.out), lines({{1, 421}}));
  std::vector<double> v = test::vertices(test::read(dir + "/autocad.scr"));
  // Corners (nodes 1, 13, 117, 105) at their prescribed heights.
  EXPECT_EQ(v[3 * 0 + 2], 0.0);
  EXPECT_EQ(v[3 * 12 + 2], 1.5);
  EXPECT_EQ(v[3 * 116 + 2], 0.0);
  EXPECT_EQ(v[3 * 104 + 2], 1.5);
  auto [gradient, maxnorm] = equilibrium(dir);
  EXPECT_LE(gradient, maxnorm);
}

TEST(Programs, Domica2MatchesDomica3OnThePneumaticDome) {
  std::string two = test::example_dir("pneumatic_dome/domica_2"), three = test::example_dir("pneumatic_dome/domica_3");
  test::run_result r = test::run(DOMICA_2_EXE, two);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(test::mask_elapsed(r.out), lines({{1, 42}, {2, 5}, {3, 5}, {4, 4}}));
  ASSERT_EQ(test::run(DOMICA_3_EXE, three).status, 0);
  std::vector<double> a = test::vertices(test::read(two + "/autocad.scr")), b = test::vertices(test::read(three + "/autocad.scr"));
  ASSERT_EQ(a.size(), b.size());
  double worst = 0.0;
  for (std::size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::fabs(a[i] - b[i]));
  EXPECT_LT(worst, 1e-6 * 3.1);  // both solved far below their gradient and balance tolerances
}
