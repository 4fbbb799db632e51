#include "domica_3/setforce.h"

namespace domica {

void setforce(model& m, double factor, const fmat1& x) {
  m.fp.fill(0.0);
  for (int e = 1; e <= m.ne; ++e) {
    const cst_rec& el = m.cst(e);
    double xe[4][4];
    for (int loc = 1; loc <= 3; ++loc) {
      int glob = el.glob(loc);
      for (int axis = 1; axis <= 3; ++axis) {
        int i = m.index(glob, axis);
        xe[loc][axis] = i > m.n ? m.known(glob, axis) : x(i);
      }
    }
    double pc = m.pressure / 6.0;
    int glob1 = el.glob(1), glob2 = el.glob(2), glob3 = el.glob(3);
    double a[4], b[4], f[4];
    a[1] = m.xo(glob2) - m.xo(glob1) + xe[2][1] - xe[1][1];
    a[2] = m.yo(glob2) - m.yo(glob1) + xe[2][2] - xe[1][2];
    a[3] = xe[2][3] - xe[1][3];
    b[1] = m.xo(glob3) - m.xo(glob1) + xe[3][1] - xe[1][1];
    b[2] = m.yo(glob3) - m.yo(glob1) + xe[3][2] - xe[1][2];
    b[3] = xe[3][3] - xe[1][3];
    f[1] = (b[2] * a[3] - b[3] * a[2]) * pc;
    f[2] = (b[3] * a[1] - a[3] * b[1]) * pc;
    f[3] = (a[2] * b[1] - b[2] * a[1]) * pc;
    for (int loc = 1; loc <= 3; ++loc)
      for (int axis = 1; axis <= 3; ++axis) m.fp(el.glob(loc), axis) = m.fp(el.glob(loc), axis) + f[axis];
  }
  for (int glob = 1; glob <= m.nn; ++glob)
    for (int axis = 1; axis <= 3; ++axis) m.force(glob, axis) = m.ff(glob, axis) + factor * m.fp(glob, axis);
}

}  // namespace domica
