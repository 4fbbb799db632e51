// Global out-of-balance forces of the free coordinates and their tangent,
// assembled triangle by triangle into any tangent that offers zero() and
// add(i, j, v) (numerics/dense.h).
#pragma once

#include "model/problem.h"
#include "mechanics/tangent.h"
#include "mechanics/setup.h"

namespace domica {

// r(i) = sum of the element forces on free coordinate i minus force(i);
// s(i, j) = d r(i) / d x(j).
// Inputs:
//   nt, as    the net and its set-up
//   pressure  the pressure of the step
//   force     as.d.n nodal loads of the free coordinates
//   x         as.d.n displacements
// Outputs:
//   r         as.d.n out-of-balance forces (every entry written)
//   s         the tangent (zeroed, then every element added in triangle order)
template <class Tangent>
void structure(const net& nt, const assembly& as, double pressure, const fmat1& force, const fmat1& x, fmat1& r, Tangent& s) {
  const int n = as.d.n;
  for (int i = 1; i <= n; ++i) r(i) = -force(i);
  s.zero();
  for (int e = 1; e <= nt.ne; ++e) {
    fvec9x1 re;
    fmat9x9 se;
    element(nt, as, e, pressure, x, re, se);
    int o[9];
    for (int loc = 1; loc <= 3; ++loc)
      for (int axis = 1; axis <= 3; ++axis) o[3 * (loc - 1) + axis - 1] = as.d.index(nt.tri(e)(loc), axis);
    for (int p = 0; p < 9; ++p)
      if (o[p] <= n) r(o[p]) = r(o[p]) + re(p + 1);
    for (int p = 0; p < 9; ++p)
      for (int q = 0; q < 9; ++q)
        if (o[p] <= n && o[q] <= n) s.add(o[p], o[q], se(p + 1, q + 1));
  }
}

}  // namespace domica

namespace domica {

// The Hessian of the membrane energy at x (the membrane part of the tangent
// alone: the loads of a minimisation are held fixed), symmetric.
// Inputs: nt, as the net and its set-up; x as.d.n displacements;
// prestress as for membrane_element (0: the exact Hessian).
// Output: h (zeroed, then every element added in triangle order, both
// triangles of each element matrix; a solver that keeps one drops the other).
template <class Hessian>
void membrane_stiffness(const net& nt, const assembly& as, const fmat1& x, Hessian& h, double prestress = 0.0) {
  const int n = as.d.n;
  h.zero();
  for (int e = 1; e <= nt.ne; ++e) {
    double xe[3][3], re1[9], se1[9][9];
    corner_displacements(nt, as.d, x, e, xe);
    membrane_element(as.plan(e), as.hk, xe, re1, se1, prestress);
    int o[9];
    for (int loc = 1; loc <= 3; ++loc)
      for (int axis = 1; axis <= 3; ++axis) o[3 * (loc - 1) + axis - 1] = as.d.index(nt.tri(e)(loc), axis);
    for (int p = 0; p < 9; ++p)
      for (int q = 0; q < 9; ++q)
        if (o[p] <= n && o[q] <= n) h.add(o[p], o[q], se1[p][q]);
  }
}

}  // namespace domica
