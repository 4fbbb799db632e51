#include "membrane/energy.h"

namespace domica {

double energy(const net& nt, const assembly& as, const fmat2& force, const fmat1& x, fmat1& g) {
  const int n = as.d.n;
  const imat2& index = as.d.index;
  double f = 0.0;

  // Load term; it also sets every entry of g.
  for (int glob = 1; glob <= nt.nn; ++glob)
    for (int axis = 1; axis <= 3; ++axis) {
      int i = index(glob, axis);
      if (i <= n) {
        f = f - force(glob, axis) * x(i);
        g(i) = -force(glob, axis);
      }
    }

  for (int e = 1; e <= nt.ne; ++e) {
    const cst_plan& el = as.plan(e);
    double xe[3][3];
    for (int loc = 1; loc <= 3; ++loc) {
      int glob = nt.tri(e)(loc);
      for (int axis = 1; axis <= 3; ++axis) {
        int i = index(glob, axis);
        xe[loc - 1][axis - 1] = i > n ? nt.known(glob, axis) : x(i);
      }
    }
    cst_state s;
    cst_strains(el, as.hk, xe, s);
    double ge[9];
    cst_forces(el, s, ge);
    double fe = 0.5 * el.volume * (s.sxx * s.exx + s.syy * s.eyy + s.sxy * s.exy);
    f = f + fe;
    for (int loc = 1; loc <= 3; ++loc)
      for (int axis = 1; axis <= 3; ++axis) {
        int i = index(nt.tri(e)(loc), axis);
        if (i <= n) g(i) = g(i) + ge[3 * (loc - 1) + axis - 1];
      }
  }
  return f;
}

}  // namespace domica
