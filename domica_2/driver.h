// The run of domica_2: Newton's method with the exact tangent, all loads in
// maxmajor equal steps from the flat plan.
#pragma once

#include <cstdio>
#include <string>

#include "app/command_line.h"
#include "model/outcome.h"
#include "model/problem.h"
#include "mechanics/setup.h"

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
// failure naming the step and the iteration. Progress lines go to `out`.
// Returns the steps that ended above their target (the last one makes the
// run unconverged).
//
// `solver` names the linear solver: "band" (the default, also for an empty
// name) stores the band of the tangent that the numbering gives and falls
// back to "dense" where that band is nearly the whole matrix; both give the
// same numbers to the last bit. "sparse" factors with UMFPACK and rounds
// differently.
outcome solution(const problem& p, state2& s, std::FILE* out = stdout, const std::string& solver = "");

// The whole run of domica_2 in the working directory.
void run2(const run_options& opts);

}  // namespace domica
