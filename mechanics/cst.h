// The constant-strain triangle of the membrane: plan data, kinematics,
// Green-Lagrange strains against the flat plan, plane-stress stresses and
// internal forces. Shared by the energy of the minimising programs and the
// Newton element of domica_2, so both see the same numbers.
//
// Element coordinates are numbered corner by corner: k = 3 (loc - 1) + axis - 1
// (0-based, 9 of them).
#pragma once

#include "model/array.h"

namespace domica {

// Plan data of one triangle.
struct cst_plan {
  double volume = 0.0;         // plan area times thickness
  fixed2<double, 2, 3> c{};    // plan-x (row 1) and plan-y (row 2) shape-function derivatives
};

// Plane-stress coefficients; h33 is four times the shear modulus because the
// shear strain is the tensor component.
struct hooke {
  double h11 = 0.0, h12 = 0.0, h21 = 0.0, h22 = 0.0, h33 = 0.0;
};

// Kinematics and stresses of one triangle at given corner displacements.
struct cst_state {
  double a[3], b[3];                 // displacement gradients along plan x and plan y (x, y, z)
  double exx, eyy, exy;              // Green-Lagrange strains
  double sxx, syy, sxy;              // second Piola-Kirchhoff stresses
  double dexx[9], deyy[9], dexy[9];  // strain derivatives by the element coordinates
};

// Strains, stresses and strain derivatives.
// Inputs:
//   p   plan data of the triangle
//   h   plane-stress coefficients
//   xe  3 x 3 corner displacements, xe[loc - 1][axis - 1]
// Output:
//   s   the state
void cst_strains(const cst_plan& p, const hooke& h, const double xe[3][3], cst_state& s);

// Internal forces: the stresses' work-conjugate of each element coordinate,
// times the volume.
// Inputs: p, s as above. Output: ge, 9 forces.
void cst_forces(const cst_plan& p, const cst_state& s, double ge[9]);

}  // namespace domica
