// Dense linear solver of one Newton iteration: Crout's column-by-column LU
// decomposition with partial pivoting by rows, the interchanges applied to the
// right-hand side at once, then forward and back substitution.
#pragma once

#include "model/array.h"

namespace domica {

// Solve a x = b in place: a becomes its factors (unit lower L below the
// diagonal, U on and above it, for the interchanged rows), b the solution.
// Returns 0, or the first column whose pivot is zero or not finite; the
// factorisation stops there and b is then meaningless.
int solvelu(int n, fmat2& a, fmat1& b);

}  // namespace domica
