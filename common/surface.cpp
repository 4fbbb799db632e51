#include "common/surface.h"

#include <cmath>
#include <string>

#include "common/failure.h"

namespace domica {

void vertex(const net& nt, const numbering& d, const fmat1& x, int glob, fvec3x1& vx) {
  vx(1) = nt.xo(glob);
  vx(2) = nt.yo(glob);
  vx(3) = 0.0;
  for (int axis = 1; axis <= 3; ++axis) {
    int i = d.index(glob, axis);
    vx(axis) = vx(axis) + (i <= d.n ? x(i) : nt.known(glob, axis));
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

fvec3x1 at(const fmat2& pos, int glob) { return fvec3x1{{pos(glob, 1), pos(glob, 2), pos(glob, 3)}}; }

}  // namespace

surface make_surface(const net& nt, const numbering& d, const fmat1& x) {
  surface s;
  s.pos = fmat2(nt.nn, 3);
  for (int glob = 1; glob <= nt.nn; ++glob) {
    fvec3x1 vx;
    vertex(nt, d, x, glob, vx);
    if (!std::isfinite(vx(1)) || !std::isfinite(vx(2)) || !std::isfinite(vx(3)))
      throw failure(exit_solution, "the found shape is not finite at node " + std::to_string(glob) + "; no output written");
    for (int axis = 1; axis <= 3; ++axis) s.pos(glob, axis) = vx(axis);
  }
  s.tri = arr1<frame>(nt.ne);
  for (int e = 1; e <= nt.ne; ++e) {
    frame& el = s.tri(e);
    fvec3x1 u = at(s.pos, nt.tri(e)(2)), v = at(s.pos, nt.tri(e)(3)), w = at(s.pos, nt.tri(e)(1));
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
  s.outward = fmat2(nt.nn, 3);
  for (int e = 1; e <= nt.ne; ++e)
    for (int loc = 1; loc <= 3; ++loc) {
      int glob = nt.tri(e)(loc);
      for (int axis = 1; axis <= 3; ++axis) s.outward(glob, axis) = s.outward(glob, axis) + s.tri(e).w(axis);
    }
  for (int glob = 1; glob <= nt.nn; ++glob) {
    double norm = std::sqrt(s.outward(glob, 1) * s.outward(glob, 1) + s.outward(glob, 2) * s.outward(glob, 2) +
                            s.outward(glob, 3) * s.outward(glob, 3));
    if (norm == 0.0) {
      s.outward(glob, 1) = 0.0;
      s.outward(glob, 2) = 0.0;
      s.outward(glob, 3) = 1.0;
      continue;
    }
    for (int axis = 1; axis <= 3; ++axis) s.outward(glob, axis) = s.outward(glob, axis) / norm;
  }
  return s;
}

}  // namespace domica
