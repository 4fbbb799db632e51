// The run order of every console program, in the folder the command line
// names (the current one without):
//   1. read weblar.txt and shell.txt (both checked before any work) and check
//      that the net can carry its load (warnings on standard error),
//   2. the program's solution (PROGRAM/driver.h): its set-up, then, once the
//      set-up is checked, a probe that the results can be written there,
//      then the solution itself with the program's console lines,
//   3. report the elapsed time,
//   4. write autocad.scr and ansys.txt of the found surface as one set (with
//      --vtu shell.vtu with the membrane forces joins the set, and the
//      designer's summary goes to standard error unless --quiet; with --ccx
//      shell.inp, the found shell as a CalculiX deck of the concrete shell
//      of shell.txt, joins it too),
//   5. the summary of the run on standard error (not with --quiet; its
//      progress went there while it ran); a solution that ended unconverged
//      then ends the run with exit status 1.
// Failures are `failure` exceptions; program_main turns them into the line
// on standard error and the exit status.
#pragma once

#include "app/command_line.h"

namespace domica {

// The run above for the options given.
void run_program(const program_def& prog, const run_options& opts);

// main of a program: signal handling, the command line, then run_program
// under guarded_main (app/report.h). Returns the exit status.
int program_main(const program_def& prog, int argc, char** argv);

}  // namespace domica
