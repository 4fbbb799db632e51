// domica_2's linear solvers side by side, run as a user runs them: the dense
// and band solvers give the same files byte for byte; the sparse one, which
// rounds differently, the same shape to 1e-9 of its size.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/testutil.h"

TEST(Solvers, ExactSolversAgreeBitForBitAndSparseToTheTolerance) {
  std::vector<std::string> problems = {std::string(SOURCE_DIR) + "/examples/pneumatic_dome/domica_2"};
  // (The other recorded net of domica_2 leaves its first step unconverged, so
  // its shape depends on every rounding; it is not a fair comparison.)
  problems.push_back(std::string(SOURCE_DIR) + "/tests/golden/nets/domica_2-disc-cw-pressure-weight");
  for (const std::string& from : problems) {
    std::string scr[3];
    const char* solver[3] = {"--solver=band", "--solver=dense", "--solver=sparse"};
    for (int s = 0; s < 3; ++s) {
      std::string dir = test::temp_dir("solvers");
      test::write(dir + "/weblar.txt", test::read(from + "/weblar.txt"));
      test::write(dir + "/shell.txt", test::read(from + "/shell.txt"));
      test::run_result r = test::run(DOMICA_2_EXE, dir, "", solver[s]);
      ASSERT_EQ(r.status, 0) << from << " " << solver[s] << ": " << r.err;
      scr[s] = test::read(dir + "/autocad.scr");
    }
    EXPECT_EQ(scr[0], scr[1]) << from;
    std::vector<double> exact = test::vertices(scr[0]), sparse = test::vertices(scr[2]);
    ASSERT_EQ(exact.size(), sparse.size());
    double size = 0.0, worst = 0.0;
    for (std::size_t i = 0; i < exact.size(); ++i) {
      size = std::max(size, std::fabs(exact[i]));
      worst = std::max(worst, std::fabs(exact[i] - sparse[i]));
    }
    EXPECT_LE(worst, 1e-9 * size) << from;
  }
}

// The Newton minimiser of domica_3 and domica_1 against their default, run
// as a user runs them: the same shapes to 1e-5 of their size (both stop at
// the same gradient test, from different paths), and its note on standard
// error. Pressure in load steps, a hanging form from the flat plan, and
// prescribed heights.
TEST(Solvers, NewtonMinimiserAgreesWithTheDefaultToTheTolerance) {
  const char* examples[][2] = {{"pneumatic_dome/domica_3", DOMICA_3_EXE},
                               {"hanging_shell/domica_1", DOMICA_1_EXE},
                               {"support_heights/domica_3", DOMICA_3_EXE}};
  for (const auto& [example, exe] : examples) {
    std::vector<double> shape[2];
    for (int m = 0; m < 2; ++m) {
      std::string dir = test::example_dir(example);
      test::run_result r = test::run(exe, dir, "", m ? "--method=newton" : "--method=lbfgs");
      ASSERT_EQ(r.status, 0) << example << ": " << r.err;
      EXPECT_EQ(r.err.find("Newton: ") != std::string::npos, m == 1) << example << ": " << r.err;
      shape[m] = test::vertices(test::read(dir + "/autocad.scr"));
    }
    ASSERT_EQ(shape[0].size(), shape[1].size());
    double size = 0.0, worst = 0.0;
    for (std::size_t i = 0; i < shape[0].size(); ++i) {
      size = std::max(size, std::fabs(shape[0][i]));
      worst = std::max(worst, std::fabs(shape[0][i] - shape[1][i]));
    }
    EXPECT_LE(worst, 1e-5 * size) << example;
  }
}
