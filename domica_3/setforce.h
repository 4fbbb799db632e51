// Nodal loads of domica_3 for a load factor and a shape: the fixed loads ff
// in full plus the factor times the pressure loads, which act normal to each
// triangle in its current position and grow with its current area.
#pragma once

#include "common/model.h"

namespace domica {

// Rebuild fp (full pressure on the shape given by x) and force = ff + factor fp.
void setforce(model& m, double factor, const fmat1& x);

}  // namespace domica
