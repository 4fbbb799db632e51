// What a solution gives back: the found shape and surface, the membrane forces
// when asked for, how it ended and what it counted. A caller writes files,
// prints or plots from this record; the solution itself does none of that.
#pragma once

#include <optional>
#include <string>

#include "mechanics/forces.h"
#include "mechanics/setup.h"
#include "model/outcome.h"
#include "model/problem.h"
#include "model/surface.h"
#include "numerics/linear.h"
#include "solve/observer.h"

namespace domica {

// How domica_3 and domica_1 minimise the energy under the loads of a step.
enum class minimiser {
  lbfgs,   // limited-memory BFGS, the default
  newton,  // Newton's method on the sparse Hessian (CHOLMOD)
};

// What a caller may ask of a solution besides the problem.
struct solve_options {
  int threads = 0;        // threads of the energy (0: default_energy_threads of the net)
  bool forces = false;    // also work out the membrane forces of the found surface
  linear_kind solver = linear_kind::automatic;  // domica_2's linear solver
  minimiser method = minimiser::lbfgs;          // domica_3's and domica_1's minimiser
  // A shape to start from instead of the flat plan: the displacements of the
  // free coordinates (as many as the problem's numbering has), for example
  // the result of a nearby problem. domica_1 and domica_3 take it; domica_2
  // always starts at the plan. The tolerance still refers to the plan, so a
  // run from a start shape stops at the same test as one from the plan.
  const fmat1* start = nullptr;
};

// The start shape of opts, checked against the n unknowns of the problem;
// nullptr when none is given. One of another size is a solution failure.
const fmat1* start_shape(const solve_options& opts, int n);

// What a solution counted, over all its load steps.
struct run_counts {
  progress_kind kind = progress_kind::minimiser_calls;
  int steps = 0;               // load steps of the run
  int unconverged_steps = 0;   // load steps that ended above their target
  long long calls = 0;         // minimiser calls (domica_3, domica_1)
  long long minor = 0;         // line searches or Newton iterations
  double norm = 0.0;           // the last largest component ...
  double maxnorm = 0.0;        // ... and its target
  bool converged = false;      // the last load step met its target
};

// What a search for a rise found (solve/design.h).
struct rise_record {
  double target = 0.0;        // the rise asked for
  double young = 0.0;         // the young of the results
  int solutions = 0;          // solutions the search made, the last included
  long long iterations = 0;   // line searches or Newton iterations over all of them
};

// The record of one solution.
struct solution_result {
  program variant = program::domica_3;
  fmat1 x;                                // n displacements of the free coordinates
  surface sf;                             // the found surface (nn positions, ne frames, nn normals)
  std::optional<membrane_forces> forces;  // with solve_options::forces
  outcome end;                            // unsettled and unconverged steps
  run_counts counts;
  int highest = 0, lowest = 0;            // nodes of the highest and lowest z (0 for no node)
  double seconds = 0.0;                   // time of the solution itself (of all, for a search)
  std::optional<rise_record> rise;        // the results are those of a rise search
  bool upright = false;                   // the results are the mirror of a hanging form
};

// Counts a solution's events into run_counts and hands each on to the
// observer: the solutions call this, never the observer directly.
class progress {
 public:
  explicit progress(observer& o) : o_(o) {}
  observer& to() { return o_; }

  void run(progress_kind kind, int steps, int most = 0);
  void step(int step) { o_.step(step); }
  void iteration(int minor, double norm, double maxnorm);
  bool due() { return o_.due(); }
  void search(double norm, double maxnorm) { o_.search(norm, maxnorm); }
  void step_end(double norm, double maxnorm);
  void note(const std::string& line) { o_.note(line); }
  void line(const std::string& text) { o_.line(text); }
  void warning(const std::string& text) { o_.warning(text); }

  run_counts counts;

 private:
  observer& o_;
};

// A warning when fewer threads than `asked` could be started (`got`): the
// results are the same, only slower.
void warn_short_of_threads(progress& pr, int asked, int got);

// The end of every solution: the surface at x, the forces when asked for,
// the highest and lowest node; end, counts and seconds as given.
solution_result make_result(const problem& p, const assembly& as, const fmat1& x, const solve_options& opts, outcome end,
                            const run_counts& counts, double seconds);

}  // namespace domica
