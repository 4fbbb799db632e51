// Out-of-balance forces of one triangle and their exact tangent: membrane
// forces of a constant-strain triangle in large displacements (Green-Lagrange
// strains, plane stress), the geometric stiffness of its stresses, and a
// pressure that follows the current triangle with its load stiffness.
#pragma once

#include "common/model.h"

namespace domica {

using fvec9x1 = fixed1<double, 9>;
using fmat9x9 = fixed2<double, 9, 9>;

// re = internal force minus pressure force of triangle e at the displacements x
// (element coordinates numbered corner by corner, 3 (loc - 1) + axis);
// se(p, q) = d re(p) / d coordinate q, not symmetric in general.
void element(const model& m, int e, double pressure, const fmat1& x, fvec9x1& re, fmat9x9& se);

}  // namespace domica
