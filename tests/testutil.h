// Helpers of the tests: temporary folders, files, running a program as a
// user would, and small models built by hand.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "model/problem.h"
#include "solve/result.h"

namespace test {

// A fresh empty folder under the build tree.
std::string temp_dir(const std::string& tag);

void write(const std::string& path, const std::string& text);
std::string read(const std::string& path);
bool exists(const std::string& path);

struct run_result {
  int status = -1;
  std::string out, err;
};

// Run `exe` in folder `dir` with no input; `prefix` is put before the command
// in the shell (for limits such as ulimit), `args` (shell words, quoted by the
// caller) after it.
run_result run(const std::string& exe, const std::string& dir, const std::string& prefix = "",
               const std::string& args = "");

// What body writes to the console stream it is given (a temporary file).
std::string console_of(const std::function<void(std::FILE*)>& body);

// The console lines a solution hands to its observer while body runs.
std::string lines_of(const std::function<void(domica::progress&)>& body);

// Replace the digits of the elapsed-time line by "#".
std::string mask_elapsed(const std::string& out);

// A shell.txt with round values.
extern const char* const shell_text;

// A small valid weblar.txt for the given program: a unit square of two
// triangles, corners 1 and 2 fixed in all axes.
std::string square_weblar(domica::program p);

// Node coordinates x, y, z, node after node, from the vertex lines of autocad.scr.
std::vector<double> vertices(const std::string& scr);

// The lines of a text.
int count_lines(const std::string& text);

// A problem read from `text` as the weblar.txt of program p.
domica::problem problem_from_text(const std::string& text, domica::program p);

// One triangle with the given corner order ("1 2 3" or "1 3 2"), nodes at
// (0,0), (1,0), (0,1), all free; young 1000, poisson 0, thickness 0.5.
domica::problem one_triangle(const char* corners, double pressure = 0.0, double weight = 0.0);

// A fresh folder holding weblar.txt and shell.txt of examples/NAME.
std::string example_dir(const std::string& name);

// Generated example net via makenet with the given arguments.
std::string makenet(const std::string& args);

// Whether the tests run in continuous integration: CI set, and not to "" or
// "false" or "0".
bool in_ci();

}  // namespace test

// A test that needs a tool or module the build does not (ccx, a Python
// module) skips without it on a developer's machine, and fails in continuous
// integration, where scripts/setup has installed everything.
#define NEEDS_OR_SKIP(have, what)                                                                \
  do {                                                                                           \
    if (!(have)) {                                                                               \
      if (test::in_ci()) FAIL() << (what) << " is missing, and CI is set: it must be installed"; \
      GTEST_SKIP() << (what) << " is missing";                                                   \
    }                                                                                            \
  } while (0)
