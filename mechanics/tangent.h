// Out-of-balance forces of one triangle and their exact tangent, in two
// parts: the membrane part (the internal forces of the constant-strain
// triangle in large displacements, mechanics/cst.h, with the material and
// geometric stiffness of its stresses: the Hessian of the triangle's energy,
// symmetric) and the follower part (a pressure on the current triangle and
// its load stiffness, not symmetric). The Newton program uses their
// difference; a minimiser of the energy uses the membrane part alone.
//
// The pressure force is formed here with its products in another order than
// in the follower loads of the minimising program (mechanics/setforce.h), so
// the two round differently; each program keeps its own formula.
#pragma once

#include "model/problem.h"
#include "mechanics/setup.h"

namespace domica {

using fvec9x1 = fixed1<double, 9>;
using fmat9x9 = fixed2<double, 9, 9>;

// The membrane part of triangle e at its corner displacements xe[loc - 1][axis - 1].
// Inputs: el its plan data, h the plane-stress coefficients; prestress an
// isotropic stress added in the geometric stiffness alone (0: the exact
// derivatives).
// Outputs: re1 9 internal forces, se1 9 x 9 their derivatives (symmetric).
// A prestress gives a flat, unstrained net the stiffness across its plane
// that it lacks: a Newton minimiser's first step then follows the shape of a
// film of that tension under the loads.
void membrane_element(const cst_plan& el, const hooke& h, const double xe[3][3], double re1[9], double se1[9][9],
                      double prestress = 0.0);

// The follower part of triangle e of nt at its corner displacements xe: one
// third of the force of `pressure` on the current triangle at each corner.
// Outputs: re2 9 pressure forces, se2 9 x 9 their derivatives.
void pressure_element(const net& nt, int e, const double xe[3][3], double pressure, double re2[9], double se2[9][9]);

// Internal force minus pressure force of triangle e at the displacements x
// (as.d.n entries; fixed coordinates at nt.known), and its derivatives.
// Element coordinates are numbered corner by corner, 3 (loc - 1) + axis.
// Outputs:
//   re  9 forces
//   se  9 x 9, se(p, q) = d re(p) / d coordinate q, not symmetric in general
void element(const net& nt, const assembly& as, int e, double pressure, const fmat1& x, fvec9x1& re, fmat9x9& se);

}  // namespace domica
