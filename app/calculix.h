// Running CalculiX (ccx, Debian package calculix-ccx) on a deck: found on
// PATH, run in a temporary folder of its own, its .dat file handed back and
// the folder removed.
#pragma once

#include <string>

namespace domica {

// The path of ccx on PATH, or "" when there is none.
std::string find_ccx();

// What one run of ccx gave.
struct ccx_run {
  std::string dat;       // the text of its .dat file
  double seconds = 0.0;  // wall-clock time of the run
};

// Run ccx (the path find_ccx gave) on the deck `text` as job "shell" in a
// fresh temporary folder (under TMPDIR, else /tmp), its standard output and
// error going to a log there; the folder and everything in it are removed
// afterwards. A run that cannot be started, ends other than with status 0,
// reports an *ERROR or leaves no .dat file is a failure (exit_solution)
// whose line quotes CalculiX's own message.
ccx_run run_ccx(const std::string& ccx, const std::string& text);

}  // namespace domica
