// Out-of-balance forces of one triangle and their exact tangent: membrane
// forces of the constant-strain triangle in large displacements
// (membrane/cst.h), the geometric stiffness of its stresses, and a pressure
// that follows the current triangle with its load stiffness.
//
// The pressure force is formed here with its products in another order than
// in domica_3's force setting (domica_3/setforce.h), so the two round
// differently; each program keeps its own formula.
#pragma once

#include "model/problem.h"
#include "mechanics/setup.h"

namespace domica {

using fvec9x1 = fixed1<double, 9>;
using fmat9x9 = fixed2<double, 9, 9>;

// Internal force minus pressure force of triangle e at the displacements x
// (as.d.n entries; fixed coordinates at nt.known), and its derivatives.
// Element coordinates are numbered corner by corner, 3 (loc - 1) + axis.
// Outputs:
//   re  9 forces
//   se  9 x 9, se(p, q) = d re(p) / d coordinate q, not symmetric in general
void element(const net& nt, const assembly& as, int e, double pressure, const fmat1& x, fvec9x1& re, fmat9x9& se);

}  // namespace domica
