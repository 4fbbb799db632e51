// A problem from plain arrays, as a library caller (the Python module) holds
// them: nodes, triangles, supports and loads as tables of numbers with 0-based
// node and axis numbers, the parameters by the names weblar.txt gives them.
// Every check of the reader of weblar.txt (io/input.h) and of shell.txt
// (io/shell.h) is made, in the same order and wording; a message names the
// table and its row (0-based) where the reader names the file and the line:
//   "triangles row 3: triangle names a node twice (nodes 4, 5, 5)".
// Failures are input failures (exit_input).
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "io/shell.h"
#include "model/problem.h"

namespace domica {

// A table of numbers: its shape (rows, columns for a matrix) and its values
// row by row (product of the shape entries).
struct table {
  std::vector<std::size_t> shape;
  std::vector<double> data;
};

// Named values, in the order given.
using parameters = std::vector<std::pair<std::string, double>>;

struct plain_problem {
  table nodes;          // nn x 2: plan x, y of node 0..nn-1
  table triangles;      // ne x 3: corner nodes 0..nn-1, anticlockwise for an upward normal
  table fixed;          // k x 3: node, axis 0..2 (x, y, z), prescribed displacement
                        // (domica_2 reads none: k x 2, or a third column of zeros)
  table loads;          // m x 3: node, axis 0..2, force
  parameters material;  // material_names(variant), each once
  parameters solver;    // solver_names(variant), each once
};

// The parameter names of each program, in the order of weblar.txt:
//   solver   domica_3: lstol maxls mntol maxminor maxmajor maxlist
//            domica_1: lstol maxls mntol maxminor maxlist
//            domica_2: mntol maxminor maxmajor
//   material domica_3: young poisson thickness density pressure
//            domica_1: young poisson thickness maxweight
//            domica_2: young poisson thickness maxweight maxpressure
std::vector<std::string> solver_names(program variant);
std::vector<std::string> material_names(program variant);

// The problem of program `variant` from the tables; a later row for the same
// coordinate replaces an earlier one, as a later record does in weblar.txt.
problem problem_from_arrays(program variant, const plain_problem& a);

// The tables and parameters of a problem (the inverse of problem_from_arrays):
// fixed and loads hold one row per fixed coordinate and per non-zero load, in
// node and axis order.
plain_problem arrays_of(const problem& p);

// The names of the shell data, in the order of shell.txt: thick gravity
// pressure temp, concrete_ex concrete_nuxy concrete_dens concrete_alpx
// concrete_fc concrete_ft concrete_c1 concrete_c2, steel_ex steel_dens
// steel_alpx steel_vr.
std::vector<std::string> shell_names();

// The shell data of examples/shell.txt with the named values in place of its
// own, checked as read_shell checks them (messages begin "shell: ").
shell_rec shell_from_values(const parameters& values);

// The values of a shell record under shell_names().
parameters shell_values(const shell_rec& s);

}  // namespace domica
