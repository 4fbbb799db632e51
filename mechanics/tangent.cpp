#include "mechanics/tangent.h"

#include "mechanics/cst.h"

namespace domica {

void membrane_element(const cst_plan& el, const hooke& h, const double xe[3][3], double re1[9], double se1[9][9], double prestress) {
  // Strains, stresses, strain derivatives and the internal force.
  cst_state s;
  cst_strains(el, h, xe, s);
  cst_forces(el, s, re1);
  const fixed2<double, 2, 3>& c = el.c;
  // 8. Stress derivatives.
  double dsxx[9], dsyy[9], dsxy[9];
  for (int p = 0; p < 9; ++p) {
    dsxx[p] = h.h11 * s.dexx[p] + h.h12 * s.deyy[p];
    dsyy[p] = h.h21 * s.dexx[p] + h.h22 * s.deyy[p];
    dsxy[p] = h.h33 * s.dexy[p];
  }
  // 10. Material stiffness.
  for (int p = 0; p < 9; ++p)
    for (int q = 0; q < 9; ++q) se1[p][q] = s.dexx[p] * dsxx[q] + s.deyy[p] * dsyy[q] + s.dexy[p] * dsxy[q];
  // 9, 11. Geometric stiffness from the second strain derivatives (equal axes only).
  const double sxx = prestress != 0.0 ? s.sxx + prestress : s.sxx, syy = prestress != 0.0 ? s.syy + prestress : s.syy, sxy = s.sxy;
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) {
      double d2exx = c(1, i) * c(1, j);
      double d2eyy = c(2, i) * c(2, j);
      double d2exy = 0.5 * (c(1, i) * c(2, j) + c(2, i) * c(1, j));
      double sum = sxx * d2exx + syy * d2eyy + sxy * d2exy;
      for (int k = 0; k < 3; ++k) se1[3 * (i - 1) + k][3 * (j - 1) + k] = se1[3 * (i - 1) + k][3 * (j - 1) + k] + sum;
    }
  // 12. Volume.
  for (int p = 0; p < 9; ++p)
    for (int q = 0; q < 9; ++q) se1[p][q] = se1[p][q] * el.volume;
}

void pressure_element(const net& nt, int e, const double xe[3][3], double pressure, double re2[9], double se2[9][9]) {
  // 13. Pressure force on each corner, one third of the resultant, along b x a.
  double pc = pressure / 6.0;
  int glob1 = nt.tri(e)(1), glob2 = nt.tri(e)(2), glob3 = nt.tri(e)(3);
  double a[3], b[3];
  a[0] = (nt.xo(glob2) + xe[1][0]) - (nt.xo(glob1) + xe[0][0]);
  a[1] = (nt.yo(glob2) + xe[1][1]) - (nt.yo(glob1) + xe[0][1]);
  a[2] = xe[1][2] - xe[0][2];
  b[0] = (nt.xo(glob3) + xe[2][0]) - (nt.xo(glob1) + xe[0][0]);
  b[1] = (nt.yo(glob3) + xe[2][1]) - (nt.yo(glob1) + xe[0][1]);
  b[2] = xe[2][2] - xe[0][2];
  double f[3];
  f[0] = pc * (b[1] * a[2] - b[2] * a[1]);
  f[1] = pc * (b[2] * a[0] - b[0] * a[2]);
  f[2] = pc * (b[0] * a[1] - b[1] * a[0]);
  // 14. Pressure-load vector.
  for (int loc = 0; loc < 3; ++loc)
    for (int axis = 0; axis < 3; ++axis) re2[3 * loc + axis] = f[axis];
  // 15. Pressure-load stiffness: rows 1-3 in full, times pc, copied to rows 4-9.
  const double r1[9] = {0, b[2] - a[2], a[1] - b[1], 0, -b[2], b[1], 0, a[2], -a[1]};
  const double r2[9] = {a[2] - b[2], 0, b[0] - a[0], b[2], 0, -b[0], -a[2], 0, a[0]};
  const double r3[9] = {b[1] - a[1], a[0] - b[0], 0, -b[1], b[0], 0, a[1], -a[0], 0};
  for (int q = 0; q < 9; ++q) {
    se2[0][q] = r1[q] * pc;
    se2[1][q] = r2[q] * pc;
    se2[2][q] = r3[q] * pc;
  }
  for (int k = 0; k < 3; ++k)
    for (int q = 0; q < 9; ++q) {
      se2[3 + k][q] = se2[k][q];
      se2[6 + k][q] = se2[k][q];
    }
}

void element(const net& nt, const assembly& as, int e, double pressure, const fmat1& x, fvec9x1& re, fmat9x9& se) {
  double xe[3][3];
  corner_displacements(nt, as.d, x, e, xe);
  double re1[9], se1[9][9], re2[9], se2[9][9];
  membrane_element(as.plan(e), as.hk, xe, re1, se1);
  pressure_element(nt, e, xe, pressure, re2, se2);
  for (int p = 0; p < 9; ++p) re(p + 1) = re1[p] - re2[p];
  for (int p = 0; p < 9; ++p)
    for (int q = 0; q < 9; ++q) se(p + 1, q + 1) = se1[p][q] - se2[p][q];
}

}  // namespace domica
