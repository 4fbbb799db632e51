#include "app/run.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/calculix.h"
#include "app/console.h"
#include "app/heap.h"
#include "app/report.h"
#include "app/signals.h"
#include "app/warning.h"
#include "io/ccx.h"
#include "io/ccx_dat.h"
#include "io/check.h"
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

// What --check makes: check.json's text, the point data it adds to
// shell.vtu and the console lines.
struct check_output {
  std::string json, text;
  std::vector<point_field> fields;
};

// Run CalculiX on the found shell's deck and read what it found.
check_output check_shell(program variant, bool quiet, const std::string& ccx, const net& nt, const fmat2& pos,
                         const ccx_deck& deck, const std::string& text, const shell_rec& shell) {
  ccx_loads loads = ccx_cases(nt, pos, deck);
  const int cases = static_cast<int>(loads.cases.size());
  if (!quiet) {
    std::string line = std::string(program_name(variant)) + ": CalculiX started on shell.inp (" + std::to_string(cases) +
                       (cases == 1 ? " load case" : " load cases") + (loads.buckling >= 0 ? " and linear buckling)\n" : ")\n");
    std::fputs(line.c_str(), stderr);
  }
  ccx_run run = run_ccx(ccx, text);
  if (!quiet) {
    char buf[120];
    std::snprintf(buf, sizeof buf, "%s: CalculiX ended after %.2f s\n", program_name(variant), run.seconds);
    std::fputs(buf, stderr);
  }
  ccx_result res = read_ccx_dat(run.dat, "shell.dat of CalculiX", nt.nn, nt.ne, cases, loads.buckling >= 0);
  check_record rec = check_figures(nt, pos, loads, res);
  rec.snow = deck.snow;
  if (shell.temp != shell.concrete.reft)
    rec.left_out.push_back("the uniform temperature " + exact(shell.temp) + " of shell.txt (ansys.txt's TUNIF against REFT " +
                           exact(shell.concrete.reft) + "): shell.inp has no temperature case");
  check_output out;
  out.json = check_json(rec);
  out.text = check_text(rec);
  for (int k = 0; k < cases; ++k)
    out.fields.push_back({"u " + loads.cases[static_cast<std::size_t>(k)].name, res.steps[static_cast<std::size_t>(k)].u});
  if (!res.modes.empty()) out.fields.push_back({"buckling mode 1", res.modes.front()});
  return out;
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
  std::string ccx;
  if (opts.check && (ccx = find_ccx()).empty())
    throw failure(exit_input, "--check needs CalculiX: ccx is not on PATH (Debian package calculix-ccx); nothing written");
  problem p = input(variant, in_folder(dir, "weblar.txt"), "weblar.txt");
  shell_rec shell = read_shell(in_folder(dir, "shell.txt"), "shell.txt");
  for (const std::string& line : check_supports(p)) warn(variant, line);
  if (opts.ccx && shell.gravity < 0.0)
    warn(variant, "shell.txt: gravity " + exact(shell.gravity) +
                      " is negative: ansys.txt writes it to ACEL as given, which loads its model upwards, while shell.inp "
                      "takes its magnitude downwards; write it positive for self-weight downwards in both");
  std::vector<std::string> extra;
  if (opts.vtu) extra.push_back("shell.vtu");
  if (opts.ccx) extra.push_back("shell.inp");
  if (opts.check) extra.push_back("check.json");
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
  check_output check;
  std::string deck_text;
  if (opts.ccx) {
    ccx_deck deck = shell_deck(shell, opts.snow);
    deck_text = ccx_text(p.nt, r.sf.pos, deck);
    if (opts.check) check = check_shell(variant, opts.quiet, ccx, p.nt, r.sf.pos, deck, deck_text, shell);
  }
  if (opts.vtu) {
    files.push_back({in_folder(dir, "shell.vtu"), "shell.vtu", vtu_text(p.nt, r.sf, *r.forces, check.fields)});
    form_facts form;
    form.lifted = pressure_lifts(p.nt, p.load.pressure);
    form.upright = r.upright;
    if (r.rise) form.solutions = r.rise->solutions, form.young = r.rise->young;
    summary = summary_text(p.nt, r.sf, *r.forces, form);
  }
  if (opts.ccx) files.push_back({in_folder(dir, "shell.inp"), "shell.inp", deck_text});
  if (opts.check) files.push_back({in_folder(dir, "check.json"), "check.json", check.json});
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
  if (!opts.quiet) std::fputs(check.text.c_str(), stderr);
  obs.summary(r);
  // The console lines are part of what a run hands over: a full disk or a
  // closed pipe on standard output is no success.
  if (std::fflush(stdout) != 0 || std::ferror(stdout))
    throw failure(exit_output, "cannot write standard output; the result files are written");
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
