#include "domica_2/structure.h"

#include <cmath>

#include "domica_2/element.h"

namespace domica {

void structure(const model& m, int n, double pressure, const fmat1& force, const fmat1& x, fmat1& r, fmat2& s) {
  for (int i = 1; i <= n; ++i) r(i) = -force(i);
  s.fill(0.0);
  for (int e = 1; e <= m.ne; ++e) {
    fvec9x1 re;
    fmat9x9 se;
    element(m, e, pressure, x, re, se);
    int o[10];
    int counter = 0;
    for (int loc = 1; loc <= 3; ++loc)
      for (int axis = 1; axis <= 3; ++axis) {
        counter = counter + 1;
        o[counter] = m.index(m.cst(e).glob(loc), axis);
      }
    for (int p = 1; p <= 9; ++p)
      if (o[p] <= n) r(o[p]) = r(o[p]) + re(p);
    for (int p = 1; p <= 9; ++p)
      for (int q = 1; q <= 9; ++q)
        if (o[p] <= n && o[q] <= n) s(o[p], o[q]) = s(o[p], o[q]) + se(p, q);
  }
}

bool unbalance(int n, double maxnorm, const fmat1& r) {
  double norm = 0.0;
  for (int k = 1; k <= n; ++k)
    if (std::fabs(r(k)) > norm) norm = std::fabs(r(k));
  return norm > maxnorm;
}

}  // namespace domica
