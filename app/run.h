// The run order every program follows, in the working directory:
//   1. read weblar.txt and shell.txt (both checked before any work) and check
//      that the net can carry its load,
//   2. set up the net at its plan shape and make sure the results can be
//      written there,
//   3. solve, timed, with the program's console lines,
//   4. report the elapsed time,
//   5. write autocad.scr and ansys.txt of the found surface as one set (with
//      --vtu shell.vtu with the membrane forces joins the set, and the
//      designer's summary goes to standard error unless --quiet; with --ccx
//      shell.inp, the found shell as a CalculiX deck of the concrete shell
//      of shell.txt, joins it too),
//   6. the summary of the run on standard error (not with --quiet; its
//      progress went there while it ran); a solution that ended unconverged
//      then ends the run with exit status 1.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "io/ccx.h"
#include "app/command_line.h"
#include "model/failure.h"
#include "io/input.h"
#include "model/outcome.h"
#include "io/outfile.h"
#include "app/progress.h"
#include "app/report.h"
#include "io/results.h"
#include "io/shell.h"
#include "model/support_check.h"
#include "model/surface.h"
#include "app/warning.h"
#include "mechanics/forces.h"
#include "io/summary.h"
#include "io/vtu.h"

namespace domica {

// start(p, threads) returns the program's state (with members as and x); solve(p, s)
// runs the solution, prints its lines and returns its outcome; threads is
// --threads (0: none asked for).
template <class Start, class Solve>
void run_program(program variant, const run_options& opts, Start start, Solve solve) {
  guard_outputs();
  problem p = input(variant);
  shell_rec shell = read_shell();
  for (const std::string& line : check_supports(p)) warn(variant, line);
  auto s = start(p, opts.threads);
  std::vector<std::string> extra;
  if (opts.vtu) extra.push_back("shell.vtu");
  if (opts.ccx) extra.push_back("shell.inp");
  probe_outputs(result_files(extra));
  if (p.st.maxmajor == 0) warn(variant, "maxmajor is 0: no load step was made, the results show the plan");
  auto clock1 = std::chrono::steady_clock::now();
  progress_open(opts.quiet);
  outcome end = solve(p, s);
  print_elapsed(seconds_since(clock1));
  for (const std::string& line : end.unsettled) warn(variant, line);
  surface sf = make_surface(p.nt, s.as.d, s.x);
  std::vector<out_file> files;
  std::string summary;
  // Everything is worked out before the first file is written.
  if (opts.vtu) {
    membrane_forces f = forces(p.nt, s.as, p.mat.thickness, sf);
    files.push_back({"shell.vtu", "shell.vtu", vtu_text(p.nt, sf, f)});
    summary = summary_text(p.nt, sf, f);
  }
  if (opts.ccx) files.push_back({"shell.inp", "shell.inp", ccx_text(p.nt, sf.pos, shell_deck(shell))});
  write_results(p.nt, sf, shell, files);
  if (!opts.quiet) std::fputs(summary.c_str(), stderr);
  progress_summary(sf);
  if (!end.unconverged.empty()) throw failure(exit_unconverged, end.unconverged + "; results written");
}

}  // namespace domica
