#include "domica_3/objective.h"

namespace domica {

double energy(const model& m, const fmat2& force, int n, const fmat1& x, fmat1& g) {
  double f = 0.0;

  // Load term; it also sets every entry of g.
  for (int glob = 1; glob <= m.nn; ++glob)
    for (int axis = 1; axis <= 3; ++axis) {
      int i = m.index(glob, axis);
      if (i <= n) {
        f = f - force(glob, axis) * x(i);
        g(i) = -force(glob, axis);
      }
    }

  for (int e = 1; e <= m.ne; ++e) {
    const cst_rec& el = m.cst(e);
    double xe[3][3];
    for (int loc = 1; loc <= 3; ++loc) {
      int glob = el.glob(loc);
      for (int axis = 1; axis <= 3; ++axis) {
        int i = m.index(glob, axis);
        xe[loc - 1][axis - 1] = i > n ? m.known(glob, axis) : x(i);
      }
    }
    const fixed2<double, 2, 3> c = el.c;
    double a[3], b[3];
    for (int k = 0; k < 3; ++k) {
      a[k] = c(1, 1) * xe[0][k] + c(1, 2) * xe[1][k] + c(1, 3) * xe[2][k];
      b[k] = c(2, 1) * xe[0][k] + c(2, 2) * xe[1][k] + c(2, 3) * xe[2][k];
    }
    double exx = a[0] + 0.5 * (a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
    double eyy = b[1] + 0.5 * (b[0] * b[0] + b[1] * b[1] + b[2] * b[2]);
    double exy = 0.5 * (b[0] + a[1] + a[0] * b[0] + a[1] * b[1] + a[2] * b[2]);
    double sxx = m.hooke11 * exx + m.hooke12 * eyy;
    double syy = m.hooke21 * exx + m.hooke22 * eyy;
    double sxy = m.hooke33 * exy;

    double dexx[9], deyy[9], dexy[9], ge[9];
    for (int loc = 1; loc <= 3; ++loc)
      for (int axis = 1; axis <= 3; ++axis) {
        int k = 3 * (loc - 1) + axis - 1;
        double ax = a[axis - 1] + (axis == 1 ? 1.0 : 0.0);
        double by = b[axis - 1] + (axis == 2 ? 1.0 : 0.0);
        dexx[k] = c(1, loc) * ax;
        deyy[k] = c(2, loc) * by;
        dexy[k] = 0.5 * (c(2, loc) * ax + c(1, loc) * by);
      }
    for (int k = 0; k < 9; ++k) ge[k] = sxx * dexx[k] + syy * deyy[k] + sxy * dexy[k];
    for (int k = 0; k < 9; ++k) ge[k] = ge[k] * el.volume;

    double fe = 0.5 * el.volume * (sxx * exx + syy * eyy + sxy * exy);
    f = f + fe;

    int s = 0;
    for (int loc = 1; loc <= 3; ++loc)
      for (int axis = 1; axis <= 3; ++axis) {
        s = s + 1;
        int i = m.index(el.glob(loc), axis);
        if (i <= n) g(i) = g(i) + ge[s - 1];
      }
  }
  return f;
}

}  // namespace domica
