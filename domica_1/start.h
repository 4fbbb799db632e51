// Set-up and run of domica_1: form finding under fixed loads (point loads and
// self-weight in full, no pressure) with one limited-memory BFGS call.
#pragma once

#include <cstdio>

#include "common/model.h"
#include "nlp/qn.h"

namespace domica {

// Numbering, plan geometry, self-weight into maxforce, coefficients, x = 0,
// and maxnorm = mntol times the largest gradient component at x = 0.
void start1(model& m);

// The objective of domica_1: the membrane energy under the fixed loads maxforce.
double objective1(const model& m, int n, const fmat1& x, fmat1& g);

// One minimisation from the current x; returns the minimiser's result.
nlp::qn_result solve1(model& m);

// The whole run of domica_1 in the working directory.
void run1();

}  // namespace domica
