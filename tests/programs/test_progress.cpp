// The progress and the summary of a run go to standard error only: standard
// output and both files are those of a --quiet run, which writes nothing on
// standard error. Away from a terminal there is one line per load step (and
// one every 10 s of a long step), then the summary, whose highest and lowest
// nodes are those of autocad.scr; on a terminal the line is redrawn in place
// and cleared before the summary.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <sstream>
#include <vector>

#include "tests/testutil.h"

namespace {

struct program_case {
  const char* exe;
  const char* example;
  int steps;
  const char* counted;  // the summary's line of iterations
};

// The node numbers (1-based) with the largest and smallest z in autocad.scr,
// whose lines 3 .. nn + 2 are the node positions "x,y,z".
std::pair<int, int> extreme_nodes(const std::string& scr, int nn) {
  std::istringstream in(scr);
  std::string line;
  std::getline(in, line);
  std::getline(in, line);
  int high = 1, low = 1;
  std::vector<double> z(static_cast<std::size_t>(nn) + 1);
  for (int k = 1; k <= nn && std::getline(in, line); ++k) {
    z[static_cast<std::size_t>(k)] = std::stod(line.substr(line.rfind(',') + 1));
    if (z[static_cast<std::size_t>(k)] > z[static_cast<std::size_t>(high)]) high = k;
    if (z[static_cast<std::size_t>(k)] < z[static_cast<std::size_t>(low)]) low = k;
  }
  return {high, low};
}

int node_count(const std::string& weblar) {
  std::string after = weblar.substr(weblar.find(": nodes\n") + 8);
  return std::stoi(after);
}

}  // namespace

TEST(Progress, StepLinesAndSummaryOnStandardErrorOnly) {
  const program_case cases[] = {
      {DOMICA_3_EXE, "pneumatic_dome/domica_3", 4, "Minimiser calls: "},
      {DOMICA_2_EXE, "pneumatic_dome/domica_2", 4, "Newton iterations: "},
      {DOMICA_1_EXE, "hanging_shell/domica_1", 1, "Minimiser iterations: 363\n"},
  };
  for (const program_case& c : cases) {
    SCOPED_TRACE(c.example);
    std::string loud = test::example_dir(c.example), quiet = test::example_dir(c.example);
    test::run_result r = test::run(c.exe, loud);
    test::run_result q = test::run(c.exe, quiet, "", "--quiet");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(q.status, 0) << q.err;
    EXPECT_EQ(q.err, "");
    EXPECT_EQ(test::mask_elapsed(r.out), test::mask_elapsed(q.out));
    for (const char* file : {"/autocad.scr", "/ansys.txt"}) EXPECT_TRUE(test::read(loud + file) == test::read(quiet + file)) << file;

    // domica_2 first names its linear solver and the tangent's band; then one
    // line per load step, then six lines of summary.
    std::istringstream err(r.err);
    std::string line;
    if (std::string(c.exe) == DOMICA_2_EXE) {
      std::getline(err, line);
      EXPECT_TRUE(std::regex_match(line, std::regex("tangent of [0-9]+ unknowns, bandwidth [0-9]+: (band|dense) solver.*"))) << line;
    }
    for (int k = 1; k <= c.steps; ++k) {
      // A step longer than 10 s (a sanitizer build, a busy machine) also
      // prints a line of how far it has come: "load step k of n, ...".
      std::string interim = "load step " + std::to_string(k) + " of " + std::to_string(c.steps) + ", ";
      while (std::getline(err, line) && line.rfind(interim, 0) == 0) {
      }
      std::string head = "load step " + std::to_string(k) + " of " + std::to_string(c.steps) + ": ";
      EXPECT_EQ(line.rfind(head, 0), 0u) << line;
      EXPECT_NE(line.find(", converged, "), std::string::npos) << line;
    }
    std::string summary((std::istreambuf_iterator<char>(err)), std::istreambuf_iterator<char>());
    const bool newton = std::string(c.exe) == DOMICA_2_EXE;
    EXPECT_EQ(test::count_lines(summary), newton ? 7 : 6) << summary;  // domica_2: the final state against the full load
    const std::regex full("\nAgainst the full load: out-of-balance [-+.e0-9]+ "
                          "\\(target [-+.e0-9]+, mntol times the flat plan's [-+.e0-9]+\\), met\n");
    if (newton) {
      EXPECT_TRUE(std::regex_search(summary, full)) << summary;
    }
    EXPECT_EQ(summary.rfind("Run: converged, final ", 0), 0u) << summary;
    EXPECT_NE(summary.find("Load steps: " + std::to_string(c.steps) + "\n"), std::string::npos) << summary;
    EXPECT_NE(summary.find(c.counted), std::string::npos) << summary;
    EXPECT_TRUE(std::regex_search(summary, std::regex("\nElapsed time: [0-9]+\\.[0-9][0-9] s\n$"))) << summary;
    auto [high, low] = extreme_nodes(test::read(loud + "/autocad.scr"), node_count(test::read(loud + "/weblar.txt")));
    EXPECT_NE(summary.find("Highest node: " + std::to_string(high) + " at z = "), std::string::npos) << summary;
    EXPECT_NE(summary.find("Lowest node: " + std::to_string(low) + " at z = "), std::string::npos) << summary;
  }
}

TEST(Progress, UnconvergedStepsAreSaid) {
  // Twenty Newton iterations a step cannot reach a target below rounding.
  std::string dir = test::example_dir("pneumatic_dome/domica_2");
  std::string text = test::read(dir + "/weblar.txt");
  text.replace(text.find("1e-10 200 4"), 11, "1e-16 20 4");
  test::write(dir + "/weblar.txt", text);
  test::run_result r = test::run(DOMICA_2_EXE, dir);
  ASSERT_NE(r.err.find("\nload step 1 of 4: 20 Newton iterations, out-of-balance "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(", not converged, "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("\nRun: NOT converged, final out-of-balance "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("\nLoad steps: 4 (4 ended above their target)\nNewton iterations: 80\n"), std::string::npos) << r.err;
}

TEST(Progress, OnATerminalOneLineIsRedrawnInPlace) {
  NEEDS_OR_SKIP(std::system("command -v script >/dev/null 2>&1") == 0, "script(1)");
  std::string dir = test::example_dir("pneumatic_dome/domica_3"), quiet = test::example_dir("pneumatic_dome/domica_3");
  // script(1) makes standard error a terminal; standard output goes to a file.
  std::string command = "cd '" + dir + "' && script -qec \"'" + DOMICA_3_EXE + "' > out.txt\" /dev/null > tty.txt 2>&1 </dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::string tty = test::read(dir + "/tty.txt");
  EXPECT_EQ(test::mask_elapsed(test::read(dir + "/out.txt")), test::mask_elapsed(test::run(DOMICA_3_EXE, quiet, "", "--quiet").out));
  for (int k = 1; k <= 4; ++k) EXPECT_NE(tty.find("load step " + std::to_string(k) + "/4, "), std::string::npos) << tty;
  EXPECT_NE(tty.find("\033[K\r"), std::string::npos) << tty;         // drawn, then the cursor back at its start
  EXPECT_EQ(tty.find("load step 1 of 4:"), std::string::npos) << tty;  // no line per step
  EXPECT_NE(tty.find("\033[KRun: converged, final gradient "), std::string::npos) << tty;
}
