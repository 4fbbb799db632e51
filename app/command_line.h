// The command line of the three programs:
//
//   PROGRAM [--help] [--version] [OPTIONS] [FOLDER]
//
// -h or --help prints the usage on standard output, --version prints the
// program name and the project version; neither reads nor writes anything
// else. A FOLDER makes the program read its input files and write its results
// there (the process's current folder is never changed); without one it runs
// in the current folder, as it always has. An unknown option, a second FOLDER
// or a folder that cannot be entered ends the run with exit_input and one
// message on standard error (and the usage line for a malformed command line)
// before any file is touched. An argument after "--" is a folder even if it
// begins with '-'.
//
// The options every program takes are here; a program declares its own
// (domica_2's --solver) in its program_def.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/problem.h"
#include "solve/observer.h"
#include "solve/result.h"

namespace domica {

// What the options of a run ask for; the defaults are the plain run.
struct run_options {
  bool quiet = false;     // --quiet: no progress or summary on standard error
  bool vtu = false;       // --vtu: also write shell.vtu (ParaView)
  bool ccx = false;       // --ccx: also write shell.inp (CalculiX); --check sets it too
  bool check = false;     // --check: run CalculiX on shell.inp and write check.json
  double snow = 0.0;      // --snow=S: snow per unit plan area in shell.inp's load cases (>= 0)
  bool json = false;      // --json: also write summary.json
  bool dxf = false;       // --dxf: also write shell.dxf (CAD)
  bool obj = false;       // --obj: also write shell.obj (Wavefront)
  bool upright = false;   // --upright: the compression shell, mirror of the hanging form
  std::optional<double> rise;  // --rise=H: the form of rise H (> 0, finite)
  std::string folder;     // FOLDER: where the files are read and written ("" the current folder)
  solve_options solve;    // --threads=N and the program's own options
};

// An option of one program, given as NAME=VALUE.
struct program_option {
  std::string name;   // "--solver"
  std::string usage;  // its part of the usage line: "[--solver=NAME]"
  std::string help;   // its lines of --help, each ending in a line break
  // Take VALUE into the options; returns what is wrong with it for the
  // message, empty when it is good.
  std::function<std::string(const std::string& value, run_options& opts)> read;
};

// One console program.
struct program_def {
  program variant = program::domica_3;
  const char* summary = "";               // what it does, for --help
  std::vector<program_option> options;    // its own options
  solution_result (*solve)(const problem& p, const solve_options& opts, observer& obs) = nullptr;
};

// --method=NAME of domica_3 and domica_1: lbfgs (the default) or newton.
program_option method_option();

// Read the command line and act on it.
// Inputs:
//   prog        the program
//   argc, argv  the command line as main receives it
// Outputs:
//   opts        the options given
//   returns     nothing when the run should go on, or the exit status to end
//               with at once: exit_ok after --help or --version, exit_input
//               after a bad command line or a folder that cannot be entered,
//               exit_output when standard output cannot be written
std::optional<int> command_line(const program_def& prog, int argc, char** argv, run_options& opts);

}  // namespace domica
