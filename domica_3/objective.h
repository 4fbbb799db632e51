// Total potential energy of the membrane net and its exact gradient with the
// loads held constant: constant-strain triangles, Green-Lagrange strains
// against the flat plan, linear plane-stress material.
#pragma once

#include "common/model.h"

namespace domica {

// Energy at the displacements x of the n free coordinates under the nodal
// loads `force`; writes the gradient into g (every entry). Shared by domica_3
// (loads of the step) and domica_1 (fixed loads).
double energy(const model& m, const fmat2& force, int n, const fmat1& x, fmat1& g);

// The objective of domica_3: the energy under the loads of the current step, m.force.
inline double objective(const model& m, int n, const fmat1& x, fmat1& g) { return energy(m, m.force, n, x, g); }

}  // namespace domica
