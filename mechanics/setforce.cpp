#include "mechanics/setforce.h"

namespace domica {

void setforce(const net& nt, const numbering& d, double pressure, double factor, const fmat1& x, const fmat2& ff, loads3& l) {
  l.fp.fill(0.0);
  for (int e = 1; e <= nt.ne; ++e) {
    double xe[3][3];
    corner_displacements(nt, d, x, e, xe);
    double pc = pressure / 6.0;
    int glob1 = nt.tri(e)(1), glob2 = nt.tri(e)(2), glob3 = nt.tri(e)(3);
    double a[3], b[3], f[3];
    a[0] = nt.xo(glob2) - nt.xo(glob1) + xe[1][0] - xe[0][0];
    a[1] = nt.yo(glob2) - nt.yo(glob1) + xe[1][1] - xe[0][1];
    a[2] = xe[1][2] - xe[0][2];
    b[0] = nt.xo(glob3) - nt.xo(glob1) + xe[2][0] - xe[0][0];
    b[1] = nt.yo(glob3) - nt.yo(glob1) + xe[2][1] - xe[0][1];
    b[2] = xe[2][2] - xe[0][2];
    f[0] = (b[1] * a[2] - b[2] * a[1]) * pc;
    f[1] = (b[2] * a[0] - a[2] * b[0]) * pc;
    f[2] = (a[1] * b[0] - b[1] * a[0]) * pc;
    for (int loc = 1; loc <= 3; ++loc)
      for (int axis = 1; axis <= 3; ++axis) l.fp(nt.tri(e)(loc), axis) = l.fp(nt.tri(e)(loc), axis) + f[axis - 1];
  }
  for (int glob = 1; glob <= nt.nn; ++glob)
    for (int axis = 1; axis <= 3; ++axis) l.force(glob, axis) = ff(glob, axis) + factor * l.fp(glob, axis);
}

}  // namespace domica
