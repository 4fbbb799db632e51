// The solution of domica_3: set-up at the plan, then load steps in which the
// pressure follows the shape.
#pragma once

#include "mechanics/energy.h"
#include "mechanics/setforce.h"
#include "mechanics/setup.h"
#include "model/outcome.h"
#include "model/problem.h"
#include "solve/minimise.h"
#include "solve/observer.h"
#include "solve/result.h"

namespace domica {

// Minimiser calls allowed in one load step before the step is given up as not
// converged (the loads follow the shape, so a step need not settle by itself).
constexpr int max_calls_per_step = 100;

// The solver state of domica_3.
struct state3 : net_state {
  loads3 ld;            // pressure loads and the loads of the step
  fmat1 g;              // as.d.n gradient
  double maxnorm = 0.0; // absolute gradient threshold
  energy_workspace ws;  // the energy's buffers and threads
};

// Set-up: numbering, plan data, coefficients, fixed loads, x = 0, and the
// threshold maxnorm = mntol times the largest gradient component under the
// full load at the plan; the energy on `threads` threads (0: the default for
// the net).
state3 start3(const problem& p, int threads = 1);

// Run the load steps from the current x: for each step set the load factor and
// the loads, and minimise again while the gradient under the loads set for the
// new shape exceeds maxnorm. Progress and console lines go to pr. Returns the
// steps that ended with the gradient above maxnorm (the last one makes the run
// unconverged); a minimiser call that halts without lowering the gradient
// under the loads set anew ends its step; a gradient that is
// not finite is a solution failure. With nw, each minimisation is made by
// Newton's method (solve/minimise.h).
outcome solve3(const problem& p, state3& s, progress& pr, int maxcalls = max_calls_per_step, newton_state* nw = nullptr);

// The whole solution of domica_3: set-up (from opts.start when given,
// the tolerance still that of the plan), obs.started(), the load steps, the
// result. Failures are `failure` exceptions.
solution_result solve_domica_3(const problem& p, const solve_options& opts, observer& obs);

}  // namespace domica
