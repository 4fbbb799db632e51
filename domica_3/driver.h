// The load steps of domica_3.
#pragma once

#include <cstdio>

#include "common/failure.h"
#include "common/model.h"

namespace domica {

// Minimiser calls allowed in one load step before the step is given up as not
// converged (the loads follow the shape, so a step need not settle by itself).
constexpr int max_calls_per_step = 100;

// Run the load steps from the current x: for each step set the load factor and
// the loads, and minimise again while the gradient under the loads set for the
// new shape exceeds maxnorm. Progress lines go to `out`.
void solve3(model& m, std::FILE* out = stdout, int maxcalls = max_calls_per_step);

// The failure that ends a run whose minimiser met "Line Search Failure".
failure no_descent();

// The whole run of domica_3 in the working directory.
void run3();

}  // namespace domica
