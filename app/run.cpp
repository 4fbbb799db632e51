#include "app/run.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/console.h"
#include "app/heap.h"
#include "app/report.h"
#include "app/signals.h"
#include "app/warning.h"
#include "io/ccx.h"
#include "io/input.h"
#include "io/outfile.h"
#include "io/results.h"
#include "io/shell.h"
#include "io/summary.h"
#include "io/vtu.h"
#include "model/failure.h"
#include "model/support_check.h"
#include "solve/lines.h"

namespace domica {

void run_program(const program_spec& spec, const run_options& opts) {
  const program variant = spec.variant;
  const std::string& dir = opts.folder;
  problem p = input(variant, in_folder(dir, "weblar.txt"), "weblar.txt");
  shell_rec shell = read_shell(in_folder(dir, "shell.txt"), "shell.txt");
  for (const std::string& line : check_supports(p)) warn(variant, line);
  std::vector<std::string> extra;
  if (opts.vtu) extra.push_back("shell.vtu");
  if (opts.ccx) extra.push_back("shell.inp");
  const std::vector<out_file> probe = result_files(dir, extra);
  console_observer obs(variant, opts.quiet, [&] { probe_outputs(probe); });
  solve_options so = opts.solve;
  so.forces = opts.vtu;
  if (so.solver == linear_kind::sparse) keep_freed_blocks();
  solution_result r;
  try {
    r = spec.solve(p, so, obs);
  } catch (...) {
    obs.clear();
    throw;
  }
  std::fputs("\n", stdout);
  std::fputs(elapsed_line(r.seconds).c_str(), stdout);
  std::fflush(stdout);
  for (const std::string& line : r.end.unsettled) warn(variant, line);
  std::vector<out_file> files;
  std::string summary;
  // Everything is worked out before the first file is written.
  if (opts.vtu) {
    files.push_back({in_folder(dir, "shell.vtu"), "shell.vtu", vtu_text(p.nt, r.sf, *r.forces)});
    summary = summary_text(p.nt, r.sf, *r.forces);
  }
  if (opts.ccx) files.push_back({in_folder(dir, "shell.inp"), "shell.inp", ccx_text(p.nt, r.sf.pos, shell_deck(shell))});
  write_results(dir, p.nt, r.sf, shell, files);
  if (!opts.quiet) std::fputs(summary.c_str(), stderr);
  obs.summary(r);
  if (!r.end.unconverged.empty()) throw failure(exit_unconverged, r.end.unconverged + "; results written");
}

int program_main(const program_spec& spec, int argc, char** argv) {
  run_options opts;
  if (auto end = command_line(spec, argc, argv, opts)) return *end;
  return guarded_main(program_name(spec.variant), [&] {
    guard_outputs();
    run_program(spec, opts);
  });
}

}  // namespace domica
