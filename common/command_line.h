// The command line of the three programs:
//
//   PROGRAM [--help] [--version] [FOLDER]
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

namespace domica {

// Read the command line and act on it.
// Inputs:
//   program  the program's name, for the usage, version and error lines
//   summary  one sentence on what the program does, for --help
//   argc, argv  the command line as main receives it
// Outputs:
//   returns  nothing when the run should go on (the current folder is then the
//            one the command line named), or the exit status to end with at
//            once: exit_ok after --help or --version, exit_input after a bad
//            command line, exit_output when standard output cannot be written
std::optional<int> command_line(const char* program, const char* summary, int argc, char** argv);

}  // namespace domica
