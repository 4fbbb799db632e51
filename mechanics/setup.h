// Set-up shared by the three programs: the numbering of the unknowns, the
// plan data of every triangle, the plane-stress coefficients and the lumped
// self-weight.
#pragma once

#include "model/number.h"
#include <vector>

#include "model/problem.h"
#include "mechanics/cst.h"
#include "mechanics/lanes.h"

namespace domica {

// Everything the element loops need besides the net; fixed after set-up.
struct assembly {
  numbering d;           // unknowns
  arr1<cst_plan> plan;   // ne plan data
  hooke hk;              // material coefficients
  triangle_lanes tris;   // the triangles laid out for vector lanes
};

// Plan area times thickness and shape-function derivatives of every triangle,
// from xo and yo only. The reader has refused triangles of zero plan area.
// Inputs: nt (xo, yo, tri), thickness. Returns ne plan records.
arr1<cst_plan> plan(const net& nt, double thickness);

// Plane-stress coefficients of the material.
hooke coefficients(const material& mat);

// Add one third of each triangle's weight, volume times `weight`, to each of
// its corners in -z of `loads` (nn x 3), triangle by triangle.
void selfweight(const net& nt, const arr1<cst_plan>& plan, double weight, fmat2& loads);

// Numbering, plan data, coefficients and the lane layout of a problem.
assembly setup(const problem& p);

// The point loads of the net plus the self-weight: the fixed loads (nn x 3).
fmat2 fixed_loads(const problem& p, const assembly& as);

// What every program's solver state begins with.
struct net_state {
  assembly as;
  fmat2 loads;  // nn x 3 fixed loads: point loads and self-weight (at full load)
  fmat1 x;      // as.d.n displacements, zero: the flat plan
};

// Every plane-stress coefficient, plan datum, fixed load (loads, nn x 3) and
// pressure force on a plan triangle must be finite: an input value so large or so small that one of them
// overflows is an input failure naming that value.
void check_finite(const problem& p, const assembly& as, const fmat2& loads);

// Set-up, fixed loads (both checked finite) and the flat plan.
net_state prepare(const problem& p);

}  // namespace domica
