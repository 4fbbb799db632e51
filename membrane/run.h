// The run order every program follows, in the working directory:
//   1. read weblar.txt and shell.txt (both checked before any work),
//   2. set up the net at its plan shape,
//   3. solve, timed, with the program's console lines,
//   4. report the elapsed time,
//   5. write autocad.scr and ansys.txt of the found surface; with --vtu also
//      shell.vtu with the membrane forces, and the designer's summary on
//      standard error (not with --quiet); with --ccx also shell.inp, the
//      found shell as a CalculiX deck of the concrete shell of shell.txt.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include "common/ccx.h"
#include "common/command_line.h"
#include "common/input.h"
#include "common/outfile.h"
#include "common/report.h"
#include "common/results.h"
#include "common/shell.h"
#include "common/surface.h"
#include "membrane/forces.h"
#include "membrane/summary.h"
#include "membrane/vtu.h"

namespace domica {

// start(p) returns the program's state (with members as and x); solve(p, s)
// runs the solution and prints its lines.
template <class Start, class Solve>
void run_program(program variant, const run_options& opts, Start start, Solve solve) {
  problem p = input(variant);
  shell_rec shell = read_shell();
  auto s = start(p);
  auto clock1 = std::chrono::steady_clock::now();
  solve(p, s);
  print_elapsed(seconds_since(clock1));
  surface sf = make_surface(p.nt, s.as.d, s.x);
  if (!opts.vtu && !opts.ccx) {
    write_results(p.nt, sf, shell);
    return;
  }
  // Everything is worked out before the first file is written.
  std::string vtu, summary, inp;
  if (opts.vtu) {
    membrane_forces f = forces(p.nt, s.as, p.mat.thickness, sf);
    vtu = vtu_text(p.nt, sf, f);
    summary = summary_text(p.nt, sf, f);
  }
  if (opts.ccx) inp = ccx_text(p.nt, sf.pos, shell_deck(shell));
  write_results(p.nt, sf, shell);
  if (opts.vtu) write_file("shell.vtu", "shell.vtu", vtu);
  if (opts.ccx) write_file("shell.inp", "shell.inp", inp);
  if (opts.vtu && !opts.quiet) std::fputs(summary.c_str(), stderr);
}

}  // namespace domica
