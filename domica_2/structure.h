// Global out-of-balance forces of the free coordinates and their dense tangent.
#pragma once

#include "common/model.h"

namespace domica {

// r(i) = sum of the element forces on free coordinate i minus force(i);
// s(i, j) = d r(i) / d x(j). Both are written in full.
void structure(const model& m, int n, double pressure, const fmat1& force, const fmat1& x, fmat1& r, fmat2& s);

// True while the largest |r(k)| is strictly greater than maxnorm.
bool unbalance(int n, double maxnorm, const fmat1& r);

}  // namespace domica
