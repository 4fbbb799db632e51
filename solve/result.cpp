#include "solve/result.h"

#include <string>
#include <utility>

#include "model/failure.h"

namespace domica {

const fmat1* start_shape(const solve_options& opts, int n) {
  if (!opts.start) return nullptr;
  if (opts.start->hi() != n)
    throw failure(exit_solution, "the start shape has " + std::to_string(opts.start->hi()) + " displacements, the net " +
                                     std::to_string(n) + " unknowns");
  return opts.start;
}

void progress::run(progress_kind kind, int steps, int most) {
  counts.kind = kind;
  counts.steps = steps;
  o_.run(kind, steps);
  o_.limit(most);
}

void progress::iteration(int minor, double norm, double maxnorm) {
  counts.minor = counts.minor + minor;
  if (counts.kind != progress_kind::newton_iterations) counts.calls = counts.calls + 1;
  counts.norm = norm;
  counts.maxnorm = maxnorm;
  o_.iteration(minor, norm, maxnorm);
}

void progress::step_end(double norm, double maxnorm) {
  counts.norm = norm;
  counts.maxnorm = maxnorm;
  counts.converged = norm <= maxnorm;
  if (!counts.converged) counts.unconverged_steps = counts.unconverged_steps + 1;
  o_.step_end(norm, maxnorm);
}

void warn_short_of_threads(progress& pr, int asked, int got) {
  if (got < asked)
    pr.warning("only " + std::to_string(got) + " of " + std::to_string(asked) +
               " threads could be started; the energy runs on those, with the same results");
}

solution_result make_result(const problem& p, const assembly& as, const fmat1& x, const solve_options& opts, outcome end,
                            const run_counts& counts, double seconds) {
  solution_result r;
  r.variant = p.variant;
  r.x = x;
  r.sf = make_surface(p.nt, as.d, x);
  if (opts.forces) r.forces = forces(p.nt, as, p.mat.thickness, r.sf);
  r.end = std::move(end);
  r.counts = counts;
  r.seconds = seconds;
  const int nn = r.sf.pos.rows();
  if (nn > 0) {
    r.highest = r.lowest = 1;
    for (int glob = 2; glob <= nn; ++glob) {
      if (r.sf.pos(glob, 3) > r.sf.pos(r.highest, 3)) r.highest = glob;
      if (r.sf.pos(glob, 3) < r.sf.pos(r.lowest, 3)) r.lowest = glob;
    }
  }
  return r;
}

}  // namespace domica
