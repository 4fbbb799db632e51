// Nodal loads of domica_3 for a load factor and a shape: the fixed loads ff
// in full plus the factor times the pressure loads, which act normal to each
// triangle in its current position and grow with its current area.
//
// The Newton element of domica_2 forms the same pressure force with its
// products in another order, so the two round differently; each program keeps
// its own formula.
#pragma once

#include "model/number.h"
#include "model/problem.h"

namespace domica {

struct loads3 {
  fmat2 fp;     // nn x 3 pressure loads at full pressure on the current shape
  fmat2 force;  // nn x 3 loads of the step: ff + factor fp
};

// Rebuild l.fp for `pressure` on the shape given by x (d.n displacements;
// fixed coordinates at nt.known) and l.force = ff + factor l.fp, ff the fixed
// loads (nn x 3).
void setforce(const net& nt, const numbering& d, double pressure, double factor, const fmat1& x, const fmat2& ff, loads3& l);

}  // namespace domica
