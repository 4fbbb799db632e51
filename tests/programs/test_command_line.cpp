// The command line as a user types it: --help and --version answer on
// standard output and touch nothing, a folder argument runs the problem
// there exactly as a run inside it would, and a malformed command line or a
// missing folder fails with exit status 2 before any file is written.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "domica/version.h"
#include "tests/testutil.h"

namespace fs = std::filesystem;

namespace {

struct program_case {
  std::string name, exe;
  domica::program p;
};

const std::vector<program_case> programs = {
    {"domica_1", DOMICA_1_EXE, domica::program::domica_1},
    {"domica_2", DOMICA_2_EXE, domica::program::domica_2},
    {"domica_3", DOMICA_3_EXE, domica::program::domica_3},
};

// A folder holding a valid problem for p whose solution converges.
std::string problem_dir(domica::program p) {
  return test::example_dir(p == domica::program::domica_1   ? "hanging_shell/domica_1"
                           : p == domica::program::domica_2 ? "pneumatic_dome/domica_2"
                                                            : "hanging_shell/domica_3");
}

// The names in a folder, sorted.
std::vector<std::string> listing(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Everything the program prints and writes, for comparing two runs.
std::string results(const test::run_result& r, const std::string& dir) {
  return test::mask_elapsed(r.out) + test::read(dir + "/autocad.scr") + test::read(dir + "/ansys.txt");
}

TEST(command_line, help_and_version_answer_on_stdout_and_touch_nothing) {
  std::vector<program_case> all = programs;
  all.push_back({"makenet", MAKENET_EXE, domica::program::domica_3});
  for (const auto& c : all) {
    std::string dir = problem_dir(c.p);
    for (const char* help : {"--help", "-h"}) {
      test::run_result r = test::run(c.exe, dir, "", help);
      EXPECT_EQ(r.status, 0) << c.name << " " << help;
      EXPECT_EQ(r.out.rfind("usage: " + c.name + " ", 0), 0u) << c.name << " " << help << ": " << r.out;
      EXPECT_EQ(r.err, "") << c.name;
    }
    test::run_result r = test::run(c.exe, dir, "", "--version");
    EXPECT_EQ(r.status, 0) << c.name;
    EXPECT_EQ(r.out, c.name + " " + DOMICA_VERSION + "\n");
    EXPECT_EQ(r.err, "") << c.name;
    EXPECT_EQ(listing(dir), (std::vector<std::string>{"shell.txt", "weblar.txt"})) << c.name;
  }
  // A help text that cannot be written is not a success.
  for (const auto& c : programs) {
    std::string command = "'" + c.exe + "' --version >/dev/full 2>/dev/null";
    int raw = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 4) << c.name;
  }
}

TEST(command_line, folder_argument_runs_there_as_a_run_inside_it_would) {
  for (const auto& c : programs) {
    std::string inside = problem_dir(c.p), named = problem_dir(c.p), caller = test::temp_dir("caller");
    test::run_result plain = test::run(c.exe, inside);
    ASSERT_EQ(plain.status, 0) << c.name << ": " << plain.err;
    // Relative to the caller's folder, and absolute.
    std::string relative = "../" + fs::path(named).filename().string();
    for (const std::string& folder : {relative, named}) {
      fs::remove(named + "/autocad.scr");
      fs::remove(named + "/ansys.txt");
      test::run_result r = test::run(c.exe, caller, "", "'" + folder + "'");
      EXPECT_EQ(r.status, 0) << c.name << " " << folder << ": " << r.err;
      EXPECT_TRUE(results(r, named) == results(plain, inside)) << c.name << " " << folder;
      EXPECT_TRUE(listing(caller).empty()) << c.name;
    }
    // Options may stand after "--" only as folders.
    test::run_result r = test::run(c.exe, named, "", "-- .");
    EXPECT_EQ(r.status, 0) << c.name << ": " << r.err;
  }
}

TEST(command_line, bad_command_line_or_missing_folder_fails_before_anything_is_written) {
  for (const auto& c : programs) {
    std::string dir = problem_dir(c.p);
    std::string usage = "\nusage: " + c.name + " [--help] [--version] ";
    for (const char* args : {"--frobnicate", "-x", "--help --frobnicate", ". .", "--threads=0", "--solver=lu", "--method=bfgs"}) {
      test::run_result r = test::run(c.exe, dir, "", args);
      EXPECT_EQ(r.status, 2) << c.name << " " << args;
      EXPECT_EQ(r.out, "") << c.name << " " << args;
      EXPECT_EQ(test::count_lines(r.err), 2) << c.name << " " << args << ": " << r.err;
      EXPECT_NE(r.err.find(usage), std::string::npos)
          << c.name << " " << args << ": " << r.err;
    }
    for (const char* args : {"no/such/folder", "weblar.txt", "''", "-- --help"}) {
      test::run_result r = test::run(c.exe, dir, "", args);
      EXPECT_EQ(r.status, 2) << c.name << " " << args;
      EXPECT_EQ(r.out, "") << c.name << " " << args;
      EXPECT_EQ(test::count_lines(r.err), 1) << c.name << " " << args << ": " << r.err;
      EXPECT_EQ(r.err.rfind(c.name + ": cannot enter folder ", 0), 0u) << r.err;
    }
    EXPECT_EQ(listing(dir), (std::vector<std::string>{"shell.txt", "weblar.txt"})) << c.name;
  }
}

}  // namespace
