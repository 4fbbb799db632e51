// The solution of domica_2: Newton's method with the exact tangent, all loads
// in maxmajor equal steps from the flat plan.
#pragma once

#include "mechanics/setup.h"
#include "model/outcome.h"
#include "model/problem.h"
#include "numerics/linear.h"
#include "solve/observer.h"
#include "solve/result.h"

namespace domica {

// The solver state of domica_2.
using state2 = net_state;

// Set-up: numbering, plan data, coefficients, full loads, x = 0.
inline state2 start2(const problem& p) { return prepare(p); }

// Load steps with full Newton iterations from the flat plan (x = 0). Each step
// applies factor = major / maxmajor of all loads and of the pressure and
// iterates until the largest out-of-balance force is at most mntol times its
// value at the start of the step, or maxminor iterations are spent.
// A zero or non-finite pivot, or a non-finite correction, ends the run with a
// failure naming the step and the iteration. Progress and console lines go
// to pr. Returns the steps that ended above their target (the last one makes
// the run unconverged).
//
// `solver` is the linear solver (numerics/linear.h): the band solver (the
// default) stores the band of the tangent that the numbering gives and falls
// back to the dense one where that band is nearly the whole matrix; both give
// the same numbers to the last bit. The sparse one factors with UMFPACK and
// rounds differently.
outcome solution(const problem& p, state2& s, progress& pr, linear_kind solver = linear_kind::automatic);

// The whole solution of domica_2: set-up, obs.started(), the load steps, the
// result. Failures are `failure` exceptions.
solution_result solve_domica_2(const problem& p, const solve_options& opts, observer& obs);

}  // namespace domica
