// The solution of domica_1: form finding under fixed loads (point loads and
// self-weight in full, no pressure) with one minimiser call: limited-memory
// BFGS, or Newton's method when asked for.
#pragma once

#include "mechanics/energy.h"
#include "mechanics/setup.h"
#include "model/problem.h"
#include "numerics/qn.h"
#include "solve/observer.h"
#include "solve/minimise.h"
#include "solve/result.h"

namespace domica {

// The solver state of domica_1.
struct state1 : net_state {
  fmat1 g;              // as.d.n gradient
  double maxnorm = 0.0; // absolute gradient threshold
  energy_workspace ws;  // the energy's buffers and threads
};

// Set-up: numbering, plan data, coefficients, loads, x = 0, and maxnorm =
// mntol times the largest gradient component at x = 0; the energy on
// `threads` threads (0: the default for the net).
state1 start1(const problem& p, int threads = 1);

// One minimisation from the current x, its progress to pr; returns the
// minimiser's result. With nw, by Newton's method (solve/minimise.h).
nlp::qn_result solve1(const problem& p, state1& s, progress& pr, newton_state* nw = nullptr);

// The whole solution of domica_1: set-up (from opts.start when given,
// the tolerance still that of the plan), obs.started(), the minimisation
// and its console lines ("Optimal" or "NOT Optimal", "Minor = "), the
// result. A minimiser that halts leaves its shape as an unconverged result.
// Failures are `failure` exceptions.
solution_result solve_domica_1(const problem& p, const solve_options& opts, observer& obs);

}  // namespace domica
