// domica_2: the Newton load steps, their console lines and their failures.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "model/failure.h"
#include "domica_2/driver.h"
#include "tests/testutil.h"

using namespace domica;

namespace {

problem from_text(const std::string& text) { return test::problem_from_text(text, program::domica_2); }

}  // namespace

TEST(Newton, PneumaticNetConvergesQuadraticallyAfterTheFirstStep) {
  problem m = from_text(test::makenet("disc rings=3 radius=10 pressure=-1 program=2 maxmajor=3 maxminor=200 mntol=1e-10"));
  state2 s = start2(m);
  std::string text = test::lines_of([&](domica::progress& pr) { solution(m, s, pr); });
  std::vector<int> minors;
  for (std::size_t at = 0; at < text.size(); at = text.find('\n', at) + 1) {
    int major = 0, minor = 0;
    ASSERT_EQ(std::sscanf(text.c_str() + at, "Major = %5d   Minor = %5d", &major, &minor), 2) << text;
    EXPECT_EQ(major, static_cast<int>(minors.size()) + 1);
    minors.push_back(minor);
  }
  ASSERT_EQ(minors.size(), 3u);
  EXPECT_GT(minors[0], 8);  // from the flat net the first corrections are huge
  EXPECT_LE(minors[1], 8);
  EXPECT_LE(minors[2], 8);
}

TEST(Newton, NoPressureMeansASingularFirstTangent) {
  problem m = from_text(test::makenet("rect support=corners weight=1 program=2 maxmajor=2"));
  state2 s = start2(m);
  try {
    test::lines_of([&](domica::progress& pr) { solution(m, s, pr); });
    FAIL() << "no failure";
  } catch (const failure& f) {
    EXPECT_EQ(f.status, exit_solution);
    std::string what = f.what();
    EXPECT_NE(what.find("at load step 1, iteration 1"), std::string::npos) << what;
    EXPECT_NE(what.find("no pressure"), std::string::npos) << what;
  }
}

TEST(Newton, StepsWithoutIterations) {
  // Zero loads: every step is balanced at once and reports minor = 0.
  problem m = from_text(test::makenet("disc rings=2 program=2 maxmajor=2 pressure=0 weight=0"));
  state2 s = start2(m);
  EXPECT_EQ(test::lines_of([&](domica::progress& pr) { solution(m, s, pr); }), "Major =     1   Minor =     0\nMajor =     2   Minor =     0\n");
  // maxminor = 0 under load: each step out of balance.
  problem k = from_text(test::makenet("disc rings=2 program=2 maxmajor=1 maxminor=0 pressure=-1"));
  state2 sk = start2(k);
  EXPECT_EQ(test::lines_of([&](domica::progress& pr) { solution(k, sk, pr); }), "Convergence was not attained at major =     1\n");
}

