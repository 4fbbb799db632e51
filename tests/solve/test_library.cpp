// The solver core driven as a library: a solution in the calling process
// gives the console program's files byte for byte, its console lines go to
// the observer and nowhere else, and two different solutions at once on two
// threads give, bit for bit, what each gives alone.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "domica_1/driver.h"
#include "domica_2/driver.h"
#include "domica_3/driver.h"
#include "io/autocad.h"
#include "io/input.h"
#include "tests/testutil.h"

using namespace domica;
namespace fs = std::filesystem;

namespace {

const fs::path golden = fs::path(SOURCE_DIR) / "tests" / "golden" / "expected";

struct lines_observer : observer {
  std::string text;
  int started_calls = 0;
  void started() override { ++started_calls; }
  void line(const std::string& t) override { text += t; }
};

using solve_fn = solution_result (*)(const problem&, const solve_options&, observer&);

problem example(const std::string& name, program variant) {
  return input(variant, (fs::path(SOURCE_DIR) / "examples" / name / "weblar.txt").string(), "weblar.txt");
}

bool same_bits(const fmat2& a, const fmat2& b) {
  return a.rows() == b.rows() && a.cols() == b.cols() &&
         std::memcmp(a.data(), b.data(), sizeof(double) * static_cast<std::size_t>(a.rows()) * a.cols()) == 0;
}

}  // namespace

TEST(Library, ASolutionInTheProcessGivesTheConsoleFilesAndLines) {
  struct one {
    const char* example;
    const char* golden;
    program variant;
    solve_fn solve;
  };
  for (const one& c : {one{"pneumatic_dome/domica_3", "pneumatic_dome-domica_3", program::domica_3, solve_domica_3},
                       one{"hanging_shell/domica_1", "hanging_shell-domica_1", program::domica_1, solve_domica_1},
                       one{"pneumatic_dome/domica_2", "pneumatic_dome-domica_2", program::domica_2, solve_domica_2}}) {
    problem p = example(c.example, c.variant);
    lines_observer obs;
    solution_result r = c.solve(p, solve_options{}, obs);
    EXPECT_EQ(obs.started_calls, 1) << c.example;
    EXPECT_TRUE(r.end.unconverged.empty()) << c.example;
    EXPECT_TRUE(r.counts.converged) << c.example;
    EXPECT_FALSE(r.forces.has_value());
    EXPECT_EQ(autocad_text(p.nt, r.sf), test::read((golden / c.golden / "autocad.scr").string())) << c.example;
    // The console lines the program prints before its elapsed-time line.
    std::string out = test::read((golden / c.golden / "stdout.txt").string());
    EXPECT_EQ(obs.text + "\n", out.substr(0, out.find("Elapsed time"))) << c.example;
    EXPECT_GT(r.highest, 0);
    for (int glob = 1; glob <= p.nt.nn; ++glob) {
      EXPECT_LE(r.sf.pos(glob, 3), r.sf.pos(r.highest, 3));
      EXPECT_GE(r.sf.pos(glob, 3), r.sf.pos(r.lowest, 3));
    }
  }
}

TEST(Library, TwoSolutionsAtOnceGiveWhatEachGivesAlone) {
  // Nets large enough that the energy is shared among threads when asked.
  problem a = test::problem_from_text(test::makenet("disc rings=20 radius=1 young=1e6 poisson=0.3 thickness=0.01 pressure=-10 maxminor=3000 mntol=1e-2 maxmajor=1"), program::domica_3);
  problem b = test::problem_from_text(test::makenet("rect nx=40 ny=30 support=corners young=1e4 thickness=0.1 weight=1 program=1 maxminor=300 mntol=1e-5"), program::domica_1);
  solve_options opts;
  opts.forces = true;
  for (int threads : {1, 2}) {
    opts.threads = threads;
    observer quiet_a, quiet_b;
    solution_result alone_a = solve_domica_3(a, opts, quiet_a);
    solution_result alone_b = solve_domica_1(b, opts, quiet_b);
    solution_result both_a, both_b;
    std::thread ta([&] { both_a = solve_domica_3(a, opts, quiet_a); });
    std::thread tb([&] { both_b = solve_domica_1(b, opts, quiet_b); });
    ta.join();
    tb.join();
    EXPECT_TRUE(same_bits(alone_a.sf.pos, both_a.sf.pos)) << threads << " threads";
    EXPECT_TRUE(same_bits(alone_b.sf.pos, both_b.sf.pos)) << threads << " threads";
    EXPECT_TRUE(same_bits(alone_a.forces->node, both_a.forces->node));
    EXPECT_EQ(alone_a.counts.minor, both_a.counts.minor);
    EXPECT_EQ(alone_b.counts.minor, both_b.counts.minor);
  }
}
