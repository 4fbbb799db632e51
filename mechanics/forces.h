// Membrane forces of the found surface: the Cauchy forces per unit length of
// the found (not the plan) surface, from the second Piola-Kirchhoff stresses
// of each constant-strain triangle,
//   n = F (h S) F^T / J,
// F the 3 x 2 deformation gradient from plan to found triangle, h the plan
// thickness and J = |F_X x F_Y| the ratio of found to plan area. They are
// given in the triangle's frame of model/surface.h (the in-plane axes u and
// v that the ANSYS writer uses), with their principal values and the
// direction of the larger one.
#pragma once

#include "model/problem.h"
#include "model/surface.h"
#include "mechanics/setup.h"

namespace domica {

// Forces of one triangle.
struct tri_force {
  double n11 = 0.0, n22 = 0.0, n12 = 0.0;  // along u, along v, shear; force per unit length
  double n1 = 0.0, n2 = 0.0;               // principal values, n1 >= n2
  fvec3x1 dir{};                           // unit direction of n1 on the found surface (global axes)
  double ratio = 0.0;                      // J, found area over plan area
  double area = 0.0;                       // found area
};

struct membrane_forces {
  arr1<tri_force> tri;  // ne triangles
  fmat2 node;           // nn x 2: n1 and n2 at the nodes, means of the triangles around
                        // each node weighted by their found areas (0 at a node in no
                        // triangle or only in triangles of zero found area)
};

// The forces of every triangle and node.
// Inputs:
//   nt         the net (plan, triangles)
//   as         plan data (shape-function derivatives) and plane-stress coefficients
//   thickness  plan thickness h
//   sf         the found surface: nn node positions and ne triangle frames
// Returns the forces.
//
// A triangle collapsed to zero found area has no force per unit length to
// give: all its values are 0 (ratio 0 as well), and it has no weight at its
// nodes. Values that overflow are likewise stored as 0, so every value is finite.
membrane_forces forces(const net& nt, const assembly& as, double thickness, const surface& sf);

// The forces of the opposite stress state on the same surface: every n11,
// n22, n12 of f negated, the principal values and the direction of n1 worked
// out anew (the old n2 direction), the node means likewise. A form hanging
// in tension, mirrored z -> -z, carries its loads in this state: the
// equilibrium of each node, mirrored, holds with the reversed forces under
// loads of the same vertical component.
// Inputs: nt (ne triangles, nn nodes), f (the forces on sf), sf (ne frames).
// Returns the reversed forces; a triangle of zero found area keeps its zeros.
membrane_forces reversed(const net& nt, const membrane_forces& f, const surface& sf);

// The largest |n1| and |n2| over the ne triangles of f.
double force_scale(const membrane_forces& f);

// Whether triangle force t counts as tension: n1 above 1e-9 of `scale`, the
// force_scale of its net, so the rounding noise of an unstressed triangle is
// not tension.
bool in_tension(const tri_force& t, double scale);

}  // namespace domica
