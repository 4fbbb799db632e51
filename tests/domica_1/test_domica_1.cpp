// domica_1: fixed loads, one minimisation, the optimality report, and the
// same shape as domica_3 when there is no pressure.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>

#include "domica_1/driver.h"
#include "domica_3/driver.h"
#include "numerics/norm.h"
#include "tests/testutil.h"

using namespace domica;

namespace {

problem read_dir(const std::string& dir, program p) { return test::problem_from_text(test::read(dir + "/weblar.txt"), p); }

}  // namespace

TEST(Domica1, HangingShellEndToEnd) {
  std::string dir = test::example_dir("hanging_shell/domica_1");
  test::run_result r = test::run(DOMICA_1_EXE, dir, "", "--quiet");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(test::mask_elapsed(r.out), "Optimal\nMinor =   363\n\nElapsed time = # seconds\n");
  EXPECT_TRUE(std::regex_match(r.out.substr(r.out.find("Elapsed")), std::regex("Elapsed time = {11}[0-9] seconds\n")));
  EXPECT_TRUE(test::exists(dir + "/autocad.scr"));
  EXPECT_TRUE(test::exists(dir + "/ansys.txt"));

  // The found surface is in equilibrium, and it hangs below its corners.
  problem p = read_dir(dir, program::domica_1);
  state1 s = start1(p);
  nlp::qn_result q;
  test::lines_of([&](domica::progress& pr) { q = solve1(p, s, pr); });
  EXPECT_TRUE(q.optimal);
  EXPECT_LE(nlp::norm(s.as.d.n, s.g), s.maxnorm);
  EXPECT_EQ(q.minor, 363);
  double lowest = 0.0;
  for (int glob = 1; glob <= p.nt.nn; ++glob)
    if (s.as.d.index(glob, 3) <= s.as.d.n) lowest = std::min(lowest, s.x(s.as.d.index(glob, 3)));
  EXPECT_LT(lowest, -0.5);
}

TEST(Domica1, NoStiffnessIsLineSearchFailure) {
  std::string dir = test::example_dir("hanging_shell/domica_1");
  std::string text = test::read(dir + "/weblar.txt");
  text.replace(text.find(" 2   young"), 2, " 0");
  test::write(dir + "/weblar.txt", text);
  test::run_result r = test::run(DOMICA_1_EXE, dir);
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.out, "Line Search Failure\n");
  EXPECT_EQ(test::count_lines(r.err), 1) << r.err;
  EXPECT_NE(r.err.find("no descent direction from the start"), std::string::npos) << r.err;
  EXPECT_FALSE(test::exists(dir + "/autocad.scr"));
  EXPECT_FALSE(test::exists(dir + "/ansys.txt"));
}

TEST(Domica1, OneIterationIsReportedAsSuch) {
  std::string dir = test::example_dir("hanging_shell/domica_1");
  std::string text = test::read(dir + "/weblar.txt");
  text.replace(text.find(" 5000 "), 6, " 1 ");
  test::write(dir + "/weblar.txt", text);
  test::run_result r = test::run(DOMICA_1_EXE, dir, "", "--quiet");
  EXPECT_EQ(r.status, 1) << r.err;  // results written, not converged
  EXPECT_EQ(test::mask_elapsed(r.out), "NOT Optimal\nMinor =     1\n\nElapsed time = # seconds\n");
  EXPECT_EQ(r.err.rfind("domica_1: the minimisation ended unconverged: largest gradient component ", 0), 0u) << r.err;
  EXPECT_EQ(test::read(dir + "/autocad.scr").substr(0, 9), "osmode 0\n");
}

TEST(Domica1, SameShapeAsDomica3WithoutPressure) {
  problem p1 = read_dir(test::example_dir("hanging_shell/domica_1"), program::domica_1);
  problem p3 = read_dir(test::example_dir("hanging_shell/domica_3"), program::domica_3);
  state1 one = start1(p1);
  test::lines_of([&](domica::progress& pr) { solve1(p1, one, pr); });
  state3 three = start3(p3);
  test::lines_of([&](domica::progress& pr) { solve3(p3, three, pr); });
  const int n = one.as.d.n;
  ASSERT_EQ(n, three.as.d.n);
  double largest = nlp::norm(n, one.x), worst = 0.0;
  for (int i = 1; i <= n; ++i) worst = std::max(worst, std::fabs(one.x(i) - three.x(i)));
  EXPECT_LT(worst, 1e-5 * largest);
}
