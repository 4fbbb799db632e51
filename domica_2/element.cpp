#include "domica_2/element.h"

namespace domica {

void element(const model& m, int e, double pressure, const fmat1& x, fvec9x1& re, fmat9x9& se) {
  const cst_rec& el = m.cst(e);
  const int n = m.n;

  // 1. Corner displacements; fixed coordinates stay at the plan.
  double xe[4][4];
  for (int loc = 1; loc <= 3; ++loc)
    for (int axis = 1; axis <= 3; ++axis) {
      int k = m.index(el.glob(loc), axis);
      xe[loc][axis] = k <= n ? x(k) : 0.0;
    }
  // 2. Shape-function derivatives.
  const fixed2<double, 2, 3> c = el.c;
  // 3. Displacement gradients along plan x (a) and plan y (b).
  double a[4], b[4];
  for (int i = 1; i <= 3; ++i) {
    a[i] = c(1, 1) * xe[1][i] + c(1, 2) * xe[2][i] + c(1, 3) * xe[3][i];
    b[i] = c(2, 1) * xe[1][i] + c(2, 2) * xe[2][i] + c(2, 3) * xe[3][i];
  }
  // 4. Strains; 5. stresses.
  double exx = a[1] + 0.5 * (a[1] * a[1] + a[2] * a[2] + a[3] * a[3]);
  double eyy = b[2] + 0.5 * (b[1] * b[1] + b[2] * b[2] + b[3] * b[3]);
  double exy = 0.5 * (a[2] + b[1] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3]);
  double sxx = m.hooke11 * exx + m.hooke12 * eyy;
  double syy = m.hooke21 * exx + m.hooke22 * eyy;
  double sxy = m.hooke33 * exy;

  // 6. Strain derivatives.
  double dexx[10], deyy[10], dexy[10];
  for (int j = 1; j <= 3; ++j)
    for (int k = 1; k <= 3; ++k) {
      int p = 3 * (j - 1) + k;
      double ak = a[k] + (k == 1 ? 1.0 : 0.0);
      double bk = b[k] + (k == 2 ? 1.0 : 0.0);
      dexx[p] = c(1, j) * ak;
      deyy[p] = c(2, j) * bk;
      dexy[p] = 0.5 * (c(2, j) * ak + c(1, j) * bk);
    }
  // 7. Internal force.
  double re1[10];
  for (int p = 1; p <= 9; ++p) re1[p] = sxx * dexx[p] + syy * deyy[p] + sxy * dexy[p];
  for (int p = 1; p <= 9; ++p) re1[p] = re1[p] * el.volume;
  // 8. Stress derivatives.
  double dsxx[10], dsyy[10], dsxy[10];
  for (int p = 1; p <= 9; ++p) {
    dsxx[p] = m.hooke11 * dexx[p] + m.hooke12 * deyy[p];
    dsyy[p] = m.hooke21 * dexx[p] + m.hooke22 * deyy[p];
    dsxy[p] = m.hooke33 * dexy[p];
  }
  // 10. Material stiffness.
  double se1[10][10];
  for (int p = 1; p <= 9; ++p)
    for (int q = 1; q <= 9; ++q) se1[p][q] = dexx[p] * dsxx[q] + deyy[p] * dsyy[q] + dexy[p] * dsxy[q];
  // 9, 11. Geometric stiffness from the second strain derivatives (equal axes only).
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) {
      double d2exx = c(1, i) * c(1, j);
      double d2eyy = c(2, i) * c(2, j);
      double d2exy = 0.5 * (c(1, i) * c(2, j) + c(2, i) * c(1, j));
      double sum = sxx * d2exx + syy * d2eyy + sxy * d2exy;
      for (int k = 1; k <= 3; ++k) se1[3 * (i - 1) + k][3 * (j - 1) + k] = se1[3 * (i - 1) + k][3 * (j - 1) + k] + sum;
    }
  // 12. Volume.
  for (int p = 1; p <= 9; ++p)
    for (int q = 1; q <= 9; ++q) se1[p][q] = se1[p][q] * el.volume;

  // 13. Pressure force on each corner, one third of the resultant, along b x a.
  double pc = pressure / 6.0;
  int glob1 = el.glob(1), glob2 = el.glob(2), glob3 = el.glob(3);
  a[1] = (m.xo(glob2) + xe[2][1]) - (m.xo(glob1) + xe[1][1]);
  a[2] = (m.yo(glob2) + xe[2][2]) - (m.yo(glob1) + xe[1][2]);
  a[3] = xe[2][3] - xe[1][3];
  b[1] = (m.xo(glob3) + xe[3][1]) - (m.xo(glob1) + xe[1][1]);
  b[2] = (m.yo(glob3) + xe[3][2]) - (m.yo(glob1) + xe[1][2]);
  b[3] = xe[3][3] - xe[1][3];
  double f[4];
  f[1] = pc * (b[2] * a[3] - b[3] * a[2]);
  f[2] = pc * (b[3] * a[1] - b[1] * a[3]);
  f[3] = pc * (b[1] * a[2] - b[2] * a[1]);
  // 14. Pressure-load vector.
  double re2[10];
  for (int loc = 1; loc <= 3; ++loc)
    for (int axis = 1; axis <= 3; ++axis) re2[3 * (loc - 1) + axis] = f[axis];
  // 15. Pressure-load stiffness: rows 1-3 in full, times pc, copied to rows 4-9.
  double se2[10][10];
  const double r1[10] = {0, 0, b[3] - a[3], a[2] - b[2], 0, -b[3], b[2], 0, a[3], -a[2]};
  const double r2[10] = {0, a[3] - b[3], 0, b[1] - a[1], b[3], 0, -b[1], -a[3], 0, a[1]};
  const double r3[10] = {0, b[2] - a[2], a[1] - b[1], 0, -b[2], b[1], 0, a[2], -a[1], 0};
  for (int q = 1; q <= 9; ++q) {
    se2[1][q] = r1[q] * pc;
    se2[2][q] = r2[q] * pc;
    se2[3][q] = r3[q] * pc;
  }
  for (int k = 1; k <= 3; ++k)
    for (int q = 1; q <= 9; ++q) {
      se2[3 + k][q] = se2[k][q];
      se2[6 + k][q] = se2[k][q];
    }
  // 16. Result.
  for (int p = 1; p <= 9; ++p) re(p) = re1[p] - re2[p];
  for (int p = 1; p <= 9; ++p)
    for (int q = 1; q <= 9; ++q) se(p, q) = se1[p][q] - se2[p][q];
}

}  // namespace domica
