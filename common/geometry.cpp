#include "common/geometry.h"

#include <cmath>
#include <string>

#include "common/failure.h"

namespace domica {

void vertex(const model& m, int glob, fvec3x1& vx) {
  vx(1) = m.xo(glob);
  vx(2) = m.yo(glob);
  vx(3) = 0.0;
  bool has_known = m.known.size() != 0;
  for (int axis = 1; axis <= 3; ++axis) {
    int i = m.index(glob, axis);
    if (i <= m.n)
      vx(axis) = vx(axis) + m.x(i);
    else if (has_known)
      vx(axis) = vx(axis) + m.known(glob, axis);
  }
}

namespace {

double length(const fvec3x1& a) { return std::sqrt(a(1) * a(1) + a(2) * a(2) + a(3) * a(3)); }

void cross(const fvec3x1& a, const fvec3x1& b, fvec3x1& c) {
  c(1) = a(2) * b(3) - b(2) * a(3);
  c(2) = a(3) * b(1) - b(3) * a(1);
  c(3) = a(1) * b(2) - a(2) * b(1);
}

void store(const fvec3x1& a, double norm, fvec3x1& out) {
  for (int axis = 1; axis <= 3; ++axis) out(axis) = a(axis) / norm;
}

}  // namespace

void finish(model& m) {
  for (int glob = 1; glob <= m.nn; ++glob) {
    fvec3x1 vx;
    vertex(m, glob, vx);
    if (!std::isfinite(vx(1)) || !std::isfinite(vx(2)) || !std::isfinite(vx(3)))
      throw failure(exit_solution, "the found shape is not finite at node " + std::to_string(glob) + "; no output written");
  }
  for (int e = 1; e <= m.ne; ++e) {
    cst_rec& el = m.cst(e);
    fvec3x1 u, v, w;
    vertex(m, el.glob(2), u);
    vertex(m, el.glob(3), v);
    vertex(m, el.glob(1), w);
    for (int axis = 1; axis <= 3; ++axis) {
      u(axis) = u(axis) - w(axis);
      v(axis) = v(axis) - w(axis);
    }
    cross(u, v, w);
    double area2 = length(w);
    if (area2 == 0.0 || !std::isfinite(area2)) {
      el.u = fvec3x1{{1.0, 0.0, 0.0}};
      el.v = fvec3x1{{0.0, 1.0, 0.0}};
      el.w = fvec3x1{{0.0, 0.0, 1.0}};
      continue;
    }
    u = fvec3x1{{w(3), 0.0, -w(1)}};
    if (length(u) == 0.0) u = fvec3x1{{1.0, 0.0, 0.0}};  // normal parallel to global y
    cross(w, u, v);
    store(u, length(u), el.u);
    store(v, length(v), el.v);
    store(w, area2, el.w);
  }
  m.outward = fmat2(1, m.nn, 1, 3);
  m.outward.fill(0.0);
  for (int e = 1; e <= m.ne; ++e)
    for (int loc = 1; loc <= 3; ++loc) {
      int glob = m.cst(e).glob(loc);
      for (int axis = 1; axis <= 3; ++axis) m.outward(glob, axis) = m.outward(glob, axis) + m.cst(e).w(axis);
    }
  for (int glob = 1; glob <= m.nn; ++glob) {
    double norm = std::sqrt(m.outward(glob, 1) * m.outward(glob, 1) + m.outward(glob, 2) * m.outward(glob, 2) +
                            m.outward(glob, 3) * m.outward(glob, 3));
    if (norm == 0.0) {
      m.outward(glob, 1) = 0.0;
      m.outward(glob, 2) = 0.0;
      m.outward(glob, 3) = 1.0;
      continue;
    }
    for (int axis = 1; axis <= 3; ++axis) m.outward(glob, axis) = m.outward(glob, axis) / norm;
  }
}

}  // namespace domica
