#include "common/setup.h"

#include <cmath>
#include <string>

#include "common/failure.h"
#include "common/input.h"

namespace domica {

void number(model& m) {
  m.n = 3 * m.nn;
  for (int glob = 1; glob <= m.nn; ++glob)
    for (int axis = 1; axis <= 3; ++axis)
      if (m.index(glob, axis) == 1) m.n = m.n - 1;
  int s1 = 0, s2 = m.n;
  for (int glob = 1; glob <= m.nn; ++glob)
    for (int axis = 1; axis <= 3; ++axis)
      if (m.index(glob, axis) == 0) {
        s1 = s1 + 1;
        m.index(glob, axis) = s1;
      } else {
        s2 = s2 + 1;
        m.index(glob, axis) = s2;
      }
}

void plan(model& m) {
  for (int e = 1; e <= m.ne; ++e) {
    cst_rec& el = m.cst(e);
    int glob1 = el.glob(1), glob2 = el.glob(2), glob3 = el.glob(3);
    double x1 = m.xo(glob1), y1 = m.yo(glob1);
    double x2 = m.xo(glob2), y2 = m.yo(glob2);
    double x3 = m.xo(glob3), y3 = m.yo(glob3);
    double aux = plan_aux(x1, y1, x2, y2, x3, y3);
    if (aux == 0.0 || !std::isfinite(aux))
      throw failure(exit_input, "element " + std::to_string(e) + " has collinear plan corners, zero plan area (nodes " +
                                    std::to_string(glob1) + ", " + std::to_string(glob2) + ", " + std::to_string(glob3) + ")");
    el.volume = std::fabs(aux) * m.thickness * 0.5;
    el.c(1, 1) = (y2 - y3) / aux;
    el.c(2, 1) = -((x2 - x3) / aux);
    el.c(1, 2) = -((y1 - y3) / aux);
    el.c(2, 2) = (x1 - x3) / aux;
    el.c(1, 3) = (y1 - y2) / aux;
    el.c(2, 3) = -((x1 - x2) / aux);
  }
}

void selfweight(const model& m, double weight, fmat2& loads) {
  for (int e = 1; e <= m.ne; ++e) {
    double aux = -(m.cst(e).volume * weight / 3.0);
    for (int loc = 1; loc <= 3; ++loc) {
      int glob = m.cst(e).glob(loc);
      loads(glob, 3) = loads(glob, 3) + aux;
    }
  }
}

void coefficients(model& m) {
  double d = 1 - m.poisson * m.poisson;
  m.hooke11 = m.young / d;
  m.hooke12 = m.young * m.poisson / d;
  m.hooke21 = m.young * m.poisson / d;
  m.hooke22 = m.young / d;
  m.hooke33 = 2 * m.young / (1 + m.poisson);
}

}  // namespace domica
