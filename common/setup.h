// Set-up steps shared by the three programs: numbering of the unknowns, plan
// geometry of the triangles, lumped self-weight and plane-stress coefficients.
#pragma once

#include "common/model.h"

namespace domica {

// Count the free coordinates into m.n and turn index from 0/1 flags into
// coordinate numbers: free ones 1..n, fixed ones n+1..3nn, both in node order
// and x, y, z within a node.
void number(model& m);

// Plan area times thickness (volume) and shape-function derivatives (c) of
// every triangle, from xo and yo only. A triangle with zero plan area is an
// input failure naming the element and its nodes.
void plan(model& m);

// Add one third of each triangle's weight, volume times `weight`, to each of
// its corners in -z of `loads`.
void selfweight(const model& m, double weight, fmat2& loads);

// Plane-stress coefficients from young and poisson; hooke33 is four times the
// shear modulus because the shear strain is the tensor component.
void coefficients(model& m);

}  // namespace domica
