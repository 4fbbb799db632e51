#include "mechanics/cst.h"

namespace domica {

void cst_strains(const cst_plan& p, const hooke& h, const double xe[3][3], cst_state& s) {
  const fixed2<double, 2, 3>& c = p.c;
  for (int k = 0; k < 3; ++k) {
    s.a[k] = c(1, 1) * xe[0][k] + c(1, 2) * xe[1][k] + c(1, 3) * xe[2][k];
    s.b[k] = c(2, 1) * xe[0][k] + c(2, 2) * xe[1][k] + c(2, 3) * xe[2][k];
  }
  const double* a = s.a;
  const double* b = s.b;
  s.exx = a[0] + 0.5 * (a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
  s.eyy = b[1] + 0.5 * (b[0] * b[0] + b[1] * b[1] + b[2] * b[2]);
  s.exy = 0.5 * (b[0] + a[1] + a[0] * b[0] + a[1] * b[1] + a[2] * b[2]);
  s.sxx = h.h11 * s.exx + h.h12 * s.eyy;
  s.syy = h.h21 * s.exx + h.h22 * s.eyy;
  s.sxy = h.h33 * s.exy;
  for (int loc = 1; loc <= 3; ++loc)
    for (int axis = 1; axis <= 3; ++axis) {
      int k = 3 * (loc - 1) + axis - 1;
      double ax = a[axis - 1] + (axis == 1 ? 1.0 : 0.0);
      double by = b[axis - 1] + (axis == 2 ? 1.0 : 0.0);
      s.dexx[k] = c(1, loc) * ax;
      s.deyy[k] = c(2, loc) * by;
      s.dexy[k] = 0.5 * (c(2, loc) * ax + c(1, loc) * by);
    }
}

void cst_forces(const cst_plan& p, const cst_state& s, double ge[9]) {
  for (int k = 0; k < 9; ++k) ge[k] = s.sxx * s.dexx[k] + s.syy * s.deyy[k] + s.sxy * s.dexy[k];
  for (int k = 0; k < 9; ++k) ge[k] = ge[k] * p.volume;
}

}  // namespace domica
