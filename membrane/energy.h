// Total potential energy of the membrane net and its exact gradient with the
// loads held constant: constant-strain triangles, Green-Lagrange strains
// against the flat plan, linear plane-stress material. The objective of
// domica_3 (loads of the step) and of domica_1 (fixed loads).
#pragma once

#include "common/problem.h"
#include "membrane/setup.h"

namespace domica {

// Energy at the displacements x of the free coordinates under the nodal loads
// `force`; fixed coordinates stand at their prescribed displacements.
// Inputs:
//   nt     the net (corners, known)
//   as     numbering, plan data, coefficients
//   force  nn x 3 nodal loads
//   x      as.d.n displacements
// Output:
//   g      as.d.n gradient (every entry written)
// Returns the energy.
double energy(const net& nt, const assembly& as, const fmat2& force, const fmat1& x, fmat1& g);

}  // namespace domica
