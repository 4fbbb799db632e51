// The console's progress with a clock the test moves: away from a terminal a
// line at least every 10 s, the best ratio of a call or step only falling,
// the call and step out of their limits, and the time to the target.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <sstream>

#include "app/console.h"
#include "domica_3/driver.h"
#include "io/input.h"
#include "tests/testutil.h"

using namespace domica;

namespace {

// The progress stream of body, given an observer off a terminal whose clock
// reads `now`.
std::string progress_of(double& now, bool quiet, const std::function<void(console_observer&)>& body) {
  return test::console_of([&](std::FILE* err) {
    std::FILE* out = std::tmpfile();
    console_observer obs(program::domica_3, quiet, {}, out, err, false, [&] { return now; });
    body(obs);
    std::fclose(out);
  });
}

}  // namespace

TEST(ConsoleProgress, TimeToTargetFromTheFallOfTheBestRatio) {
  double now = 0.0;
  std::string err = progress_of(now, false, [&](console_observer& o) {
    o.run(progress_kind::newton_iterations, 2);
    o.limit(200);
    o.step(1);
    o.iteration(1, 100.0, 1.0);  // ratio 100 at 0 s: no line yet, no rate
    now = 5.0;
    o.iteration(1, 200.0, 1.0);  // worse: the best stays 100
    now = 10.0;
    o.iteration(1, 10.0, 1.0);   // 10 s after the last line: ratio 100 -> 10 in 10 s, 10 s more to 1
    now = 12.0;
    o.iteration(1, 50.0, 1.0);   // not due
    now = 20.0;
    o.iteration(1, 20.0, 1.0);   // best 10 after 20 s: 20 s more
    o.step_end(0.5, 1.0);
  });
  std::istringstream in(err);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "load step 1 of 2, Newton iteration 3/200, best out-of-balance 10 x target, 10.0 s, about 10 s to the target");
  std::getline(in, line);
  EXPECT_EQ(line, "load step 1 of 2, Newton iteration 5/200, best out-of-balance 10 x target, 20.0 s, about 20 s to the target");
  std::getline(in, line);
  EXPECT_EQ(line.rfind("load step 1 of 2: 5 Newton iterations, ", 0), 0u) << line;
  EXPECT_FALSE(std::getline(in, line)) << line;

  now = 0.0;
  EXPECT_EQ(progress_of(now, true, [&](console_observer& o) {
              o.run(progress_kind::newton_iterations, 1);
              o.step(1);
              now = 30.0;
              o.iteration(1, 10.0, 1.0);
              o.step_end(0.5, 1.0);
            }),
            "");
}

TEST(ConsoleProgress, AWholeRunOffATerminalTellsEveryTenSeconds) {
  // Each look at the clock moves it on by 0.05 s: a run of many evaluations
  // lasts minutes of this clock.
  problem p = test::problem_from_text(test::read(std::string(SOURCE_DIR) + "/examples/pneumatic_dome/domica_3/weblar.txt"), program::domica_3);
  state3 s = start3(p);
  double now = 0.0;
  std::string err = test::console_of([&](std::FILE* e) {
    std::FILE* out = std::tmpfile();
    console_observer obs(program::domica_3, false, {}, out, e, false, [&] { return now += 0.05; });
    progress pr(obs);
    solve3(p, s, pr);
    std::fclose(out);
  });
  static const std::regex periodic(
      "load step ([0-9]+) of 4, call ([0-9]+)/100, [0-9]+ evaluations, best gradient ([0-9.e+-]+) x target, ([0-9.]+) s(, about [0-9.]+ (s|min|h) to the target)?");
  static const std::regex step_end("load step ([0-9]+) of 4: [0-9]+ minimiser calls, .*, ([0-9.]+) s");
  std::istringstream in(err);
  std::string line, call;
  double last = 0.0, best = 0.0;
  int periodic_lines = 0, ends = 0, estimates = 0;
  while (std::getline(in, line)) {
    std::smatch m;
    double at = 0.0;
    if (std::regex_match(line, m, periodic)) {
      ++periodic_lines;
      at = std::stod(m[4]);
      double ratio = std::stod(m[3]);
      std::string here = m[1].str() + "/" + m[2].str();
      if (here == call) {
        EXPECT_LE(ratio, best) << line;  // within one call the best only falls
      }
      call = here;
      best = ratio;
      if (m[5].matched) ++estimates;
    } else if (std::regex_match(line, m, step_end)) {
      ++ends;
      EXPECT_EQ(std::stoi(m[1]), ends) << line;
      at = std::stod(m[2]);
    } else {
      ADD_FAILURE() << "unexpected line: " << line;
      continue;
    }
    EXPECT_LE(at - last, 10.5) << line;
    last = at;
  }
  EXPECT_EQ(ends, 4);
  EXPECT_GT(periodic_lines, 4) << err;
  EXPECT_GT(estimates, 0) << err;
}
