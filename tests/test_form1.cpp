// domica_1: fixed loads, one minimisation, the optimality report, and the
// same shape as domica_3 when there is no pressure.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>

#include "common/input.h"
#include "domica_1/start.h"
#include "domica_3/driver.h"
#include "domica_3/start.h"
#include "nlp/norm.h"
#include "tests/testutil.h"

using namespace domica;

namespace {

model read_dir(const std::string& dir, program p) { return test::model_from_text(test::read(dir + "/weblar.txt"), p); }

}  // namespace

TEST(Domica1, HangingShellEndToEnd) {
  std::string dir = test::example_dir("hanging_shell/domica_1");
  test::run_result r = test::run(DOMICA_1_EXE, dir);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(test::mask_elapsed(r.out), "Optimal\nMinor =   363\n\nElapsed time = # seconds\n");
  EXPECT_TRUE(std::regex_match(r.out.substr(r.out.find("Elapsed")), std::regex("Elapsed time = {11}[0-9] seconds\n")));
  EXPECT_TRUE(test::exists(dir + "/autocad.scr"));
  EXPECT_TRUE(test::exists(dir + "/ansys.txt"));

  // The found surface is in equilibrium, and it hangs below its corners.
  model m = read_dir(dir, program::domica_1);
  start1(m);
  nlp::qn_result q = solve1(m);
  EXPECT_TRUE(q.optimal);
  EXPECT_LE(nlp::norm(m.n, m.g), m.maxnorm);
  EXPECT_EQ(q.minor, 363);
  double lowest = 0.0;
  for (int glob = 1; glob <= m.nn; ++glob)
    if (m.index(glob, 3) <= m.n) lowest = std::min(lowest, m.x(m.index(glob, 3)));
  EXPECT_LT(lowest, -0.5);
}

TEST(Domica1, NoLoadIsLineSearchFailure) {
  std::string dir = test::example_dir("hanging_shell/domica_1");
  std::string text = test::read(dir + "/weblar.txt");
  text.replace(text.find(" 2   young"), 2, " 0");
  test::write(dir + "/weblar.txt", text);
  test::run_result r = test::run(DOMICA_1_EXE, dir);
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(r.out, "Line Search Failure\n");
  EXPECT_EQ(test::count_lines(r.err), 1) << r.err;
  EXPECT_FALSE(test::exists(dir + "/autocad.scr"));
  EXPECT_FALSE(test::exists(dir + "/ansys.txt"));
}

TEST(Domica1, OneIterationIsReportedAsSuch) {
  std::string dir = test::example_dir("hanging_shell/domica_1");
  std::string text = test::read(dir + "/weblar.txt");
  text.replace(text.find(" 5000 "), 6, " 1 ");
  test::write(dir + "/weblar.txt", text);
  test::run_result r = test::run(DOMICA_1_EXE, dir);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(test::mask_elapsed(r.out), "NOT Optimal\nMinor =     1\n\nElapsed time = # seconds\n");
}

TEST(Domica1, SameShapeAsDomica3WithoutPressure) {
  model one = read_dir(test::example_dir("hanging_shell/domica_1"), program::domica_1);
  model three = read_dir(test::example_dir("hanging_shell/domica_3"), program::domica_3);
  start1(one);
  solve1(one);
  start3(three);
  std::FILE* out = std::tmpfile();
  solve3(three, out);
  std::fclose(out);
  ASSERT_EQ(one.n, three.n);
  double largest = nlp::norm(one.n, one.x), worst = 0.0;
  for (int i = 1; i <= one.n; ++i) worst = std::max(worst, std::fabs(one.x(i) - three.x(i)));
  EXPECT_LT(worst, 1e-5 * largest);
}
