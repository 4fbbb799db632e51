// domica_2: the Newton load steps, their console lines and their failures.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "common/failure.h"
#include "domica_2/driver.h"
#include "tests/testutil.h"

using namespace domica;

namespace {

problem from_text(const std::string& text) { return test::problem_from_text(text, program::domica_2); }

}  // namespace

TEST(Newton, PneumaticNetConvergesQuadraticallyAfterTheFirstStep) {
  problem m = from_text(test::makenet("disc rings=3 radius=10 pressure=-1 program=2 maxmajor=3 maxminor=200 mntol=1e-10"));
  state2 s = start2(m);
  std::FILE* out = std::tmpfile();
  solution(m, s, out);
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
  problem m = from_text(test::makenet("rect support=corners weight=1 program=2 maxmajor=2"));
  state2 s = start2(m);
  std::FILE* out = std::tmpfile();
  try {
    solution(m, s, out);
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
  problem m = from_text(test::makenet("disc rings=2 program=2 maxmajor=2 pressure=0 weight=0"));
  state2 s = start2(m);
  std::FILE* out = std::tmpfile();
  solution(m, s, out);
  std::rewind(out);
  char line[128];
  ASSERT_NE(std::fgets(line, sizeof line, out), nullptr);
  EXPECT_STREQ(line, "Major =     1   Minor =     0\n");
  std::fclose(out);
  // maxminor = 0 under load: each step out of balance.
  problem k = from_text(test::makenet("disc rings=2 program=2 maxmajor=1 maxminor=0 pressure=-1"));
  state2 sk = start2(k);
  std::FILE* out2 = std::tmpfile();
  solution(k, sk, out2);
  std::rewind(out2);
  ASSERT_NE(std::fgets(line, sizeof line, out2), nullptr);
  EXPECT_STREQ(line, "Convergence was not attained at major =     1\n");
  std::fclose(out2);
}

