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
#include "io/shapes.h"
#include "io/shell.h"
#include "io/summary.h"
#include "io/vtu.h"
#include "model/failure.h"
#include "model/support_check.h"
#include "solve/design.h"
#include "solve/lines.h"

namespace domica {

namespace {

const char* counted(progress_kind kind) {
  switch (kind) {
    case progress_kind::minimiser_calls: return "minimiser_calls";
    case progress_kind::line_searches: return "line_searches";
    case progress_kind::newton_iterations: return "newton_iterations";
  }
  return "";
}

run_facts facts_of(program variant, const solution_result& r) {
  run_facts f;
  f.program = program_name(variant);
  f.converged = r.end.unconverged.empty();
  f.status = f.converged ? exit_ok : exit_unconverged;
  f.steps = r.counts.steps;
  f.unconverged_steps = r.counts.unconverged_steps;
  f.counted = counted(r.counts.kind);
  f.calls = r.counts.calls;
  f.iterations = r.counts.minor;
  f.norm = r.counts.norm;
  f.target = r.counts.maxnorm;
  f.seconds = r.seconds;
  f.upright = r.upright;
  if (r.rise) {
    f.rise_search = true;
    f.rise_target = r.rise->target;
    f.young = r.rise->young;
    f.solutions = r.rise->solutions;
    f.all_iterations = r.rise->iterations;
  }
  return f;
}

}  // namespace

void run_program(const program_def& prog, const run_options& opts) {
  const program variant = prog.variant;
  const std::string& dir = opts.folder;
  problem p = input(variant, in_folder(dir, "weblar.txt"), "weblar.txt");
  shell_rec shell = read_shell(in_folder(dir, "shell.txt"), "shell.txt");
  for (const std::string& line : check_supports(p)) warn(variant, line);
  std::vector<std::string> extra;
  if (opts.vtu) extra.push_back("shell.vtu");
  if (opts.ccx) extra.push_back("shell.inp");
  if (opts.json) extra.push_back("summary.json");
  if (opts.dxf) extra.push_back("shell.dxf");
  if (opts.obj) extra.push_back("shell.obj");
  const std::vector<out_file> probe = result_files(dir, extra);
  console_observer obs(variant, opts.quiet, [&] { probe_outputs(probe); });
  solve_options so = opts.solve;
  so.forces = opts.vtu || opts.json;
  design_goal goal;
  goal.rise = opts.rise;
  goal.upright = opts.upright;
  if (so.solver == linear_kind::sparse) keep_freed_blocks();
  solution_result r;
  try {
    r = goal.rise || goal.upright ? solve_design(prog.solve, p, goal, so, obs) : prog.solve(p, so, obs);
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
    form_facts form;
    form.lifted = pressure_lifts(p.nt, p.load.pressure);
    form.upright = r.upright;
    if (r.rise) form.solutions = r.rise->solutions, form.young = r.rise->young;
    summary = summary_text(p.nt, r.sf, *r.forces, form);
  }
  if (opts.ccx) files.push_back({in_folder(dir, "shell.inp"), "shell.inp", ccx_text(p.nt, r.sf.pos, shell_deck(shell))});
  if (opts.json)
    files.push_back({in_folder(dir, "summary.json"), "summary.json", summary_json(facts_of(variant, r), figures(p.nt, r.sf, *r.forces))});
  if (opts.dxf) files.push_back({in_folder(dir, "shell.dxf"), "shell.dxf", dxf_text(p.nt, r.sf)});
  if (opts.obj) files.push_back({in_folder(dir, "shell.obj"), "shell.obj", obj_text(p.nt, r.sf)});
  write_results(dir, p.nt, r.sf, shell, files);
  if (r.rise && !opts.quiet) {
    char buf[200];
    std::snprintf(buf, sizeof buf, "%s: rise %.6g reached with young = %.9g after %d solutions (found rise %.9g)\n",
                  program_name(variant), r.rise->target, r.rise->young, r.rise->solutions, rise_of(r));
    std::fputs(buf, stderr);
  }
  if (!opts.quiet) std::fputs(summary.c_str(), stderr);
  obs.summary(r);
  if (!r.end.unconverged.empty()) throw failure(exit_unconverged, r.end.unconverged + "; results written");
}

int program_main(const program_def& prog, int argc, char** argv) {
  run_options opts;
  if (auto end = command_line(prog, argc, argv, opts)) return *end;
  return guarded_main(program_name(prog.variant), [&] {
    guard_outputs();
    run_program(prog, opts);
  });
}

}  // namespace domica
