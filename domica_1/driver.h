// The run of domica_1: form finding under fixed loads (point loads and
// self-weight in full, no pressure) with one limited-memory BFGS call.
#pragma once

#include "app/command_line.h"
#include "model/problem.h"
#include "mechanics/energy.h"
#include "mechanics/setup.h"
#include "numerics/qn.h"

namespace domica {

// The solver state of domica_1.
struct state1 : net_state {
  fmat1 g;              // as.d.n gradient
  double maxnorm = 0.0; // absolute gradient threshold
  energy_workspace ws;  // the energy's buffers and threads
};

// Set-up: numbering, plan data, coefficients, loads, x = 0, and maxnorm =
// mntol times the largest gradient component at x = 0. The energy takes
// `threads` threads (0: default_energy_threads).
state1 start1(const problem& p, int threads = 1);

// One minimisation from the current x; returns the minimiser's result.
nlp::qn_result solve1(const problem& p, state1& s);

// The whole run of domica_1 in the working directory.
void run1(const run_options& opts);

}  // namespace domica
