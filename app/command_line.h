// The command line of the three programs:
//
//   PROGRAM [--help] [--version] [OPTIONS] [FOLDER]
//
// -h or --help prints the usage on standard output, --version prints the
// program name and the project version; neither reads nor writes anything
// else. A FOLDER makes the program run there (its input files are read and
// its results written in that folder); without one it runs in the current
// folder, as it always has. An unknown option, a second FOLDER or a folder
// that cannot be entered ends the run with exit_input and one message on
// standard error (and the usage line for a malformed command line) before
// any file is touched. An argument after "--" is a folder even if it begins
// with '-'.
#pragma once

#include <optional>
#include <string>

namespace domica {

// What the options of a run ask for; the defaults are the plain run.
struct run_options {
  bool quiet = false;   // --quiet: no progress or summary on standard error
  bool vtu = false;     // --vtu: also write shell.vtu (ParaView)
  bool ccx = false;     // --ccx: also write shell.inp (CalculiX)
  int threads = 0;      // --threads=N: threads of the energy loop (0: default_energy_threads)
  std::string solver;   // --solver=NAME: domica_2's linear solver (empty: the default)
};

// Read the command line and act on it.
// Inputs:
//   program  the program's name, for the usage, version and error lines
//   summary  one sentence on what the program does, for --help
//   argc, argv  the command line as main receives it
// Outputs:
//   opts     the options given
//   returns  nothing when the run should go on (the current folder is then the
//            one the command line named), or the exit status to end with at
//            once: exit_ok after --help or --version, exit_input after a bad
//            command line, exit_output when standard output cannot be written
std::optional<int> command_line(const char* program, const char* summary, int argc, char** argv, run_options& opts);

// main of a program: the command line, then run(options) under guarded_main
// (common/report.h). Returns the exit status.
int program_main(const char* program, const char* summary, int argc, char** argv, void (*run)(const run_options&));

}  // namespace domica
