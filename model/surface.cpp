#include "model/surface.h"

#include <cmath>
#include <string>

#include "model/failure.h"

namespace domica {

void vertex(const net& nt, const numbering& d, const fmat1& x, int glob, fvec3x1& vx) {
  vx(1) = nt.xo(glob);
  vx(2) = nt.yo(glob);
  vx(3) = 0.0;
  for (int axis = 1; axis <= 3; ++axis) vx(axis) = vx(axis) + displacement(nt, d, x, glob, axis);
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

bool zero(const fvec3x1& a) { return a(1) == 0.0 && a(2) == 0.0 && a(3) == 0.0; }

bool finite(const fvec3x1& a) { return std::isfinite(a(1)) && std::isfinite(a(2)) && std::isfinite(a(3)); }

double largest(const fvec3x1& a) { return std::fmax(std::fabs(a(1)), std::fmax(std::fabs(a(2)), std::fabs(a(3)))); }

// a divided by its largest component, then by its length: a unit vector even
// where the squares of a's components underflow or overflow.
void unit(fvec3x1 a, fvec3x1& out) {
  double m = largest(a);
  for (int axis = 1; axis <= 3; ++axis) a(axis) = a(axis) / m;
  store(a, length(a), out);
}

void global_frame(frame& el) {
  el.u = fvec3x1{{1.0, 0.0, 0.0}};
  el.v = fvec3x1{{0.0, 1.0, 0.0}};
  el.w = fvec3x1{{0.0, 0.0, 1.0}};
}

// The frame of the corners p1, p2, p3 from edges scaled by the largest
// coordinate; false when the scaled normal is still zero (no area).
bool scaled_frame(const fvec3x1& p1, const fvec3x1& p2, const fvec3x1& p3, frame& el) {
  double m = std::fmax(largest(p1), std::fmax(largest(p2), largest(p3)));
  if (!(m > 0.0) || !std::isfinite(m)) return false;
  fvec3x1 a, b, c;
  for (int axis = 1; axis <= 3; ++axis) {
    a(axis) = p2(axis) / m - p1(axis) / m;
    b(axis) = p3(axis) / m - p1(axis) / m;
  }
  cross(a, b, c);
  if (zero(c) || !finite(c)) return false;
  unit(c, el.w);
  fvec3x1 u{{el.w(3), 0.0, -el.w(1)}};
  if (zero(u)) u = fvec3x1{{1.0, 0.0, 0.0}};
  unit(u, el.u);
  cross(el.w, el.u, c);
  unit(c, el.v);
  return finite(el.u) && finite(el.v) && finite(el.w);
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
    fvec3x1 p1 = at(s.pos, nt.tri(e)(1)), p2 = at(s.pos, nt.tri(e)(2)), p3 = at(s.pos, nt.tri(e)(3));
    fvec3x1 u = p2, v = p3, w = p1;
    for (int axis = 1; axis <= 3; ++axis) {
      u(axis) = u(axis) - w(axis);
      v(axis) = v(axis) - w(axis);
    }
    cross(u, v, w);
    double area2 = length(w);
    if (area2 == 0.0 && zero(w)) {
      global_frame(el);
      continue;
    }
    bool sound = area2 != 0.0 && std::isfinite(area2);
    if (sound) {
      u = fvec3x1{{w(3), 0.0, -w(1)}};
      double lu = length(u);
      if (lu == 0.0 && !zero(u)) sound = false;           // the length underflowed, the axis did not
      if (lu == 0.0) u = fvec3x1{{1.0, 0.0, 0.0}};         // normal parallel to global y
      cross(w, u, v);
      store(u, length(u), el.u);
      store(v, length(v), el.v);
      store(w, area2, el.w);
      sound = sound && finite(el.u) && finite(el.v) && finite(el.w);
    }
    // Too small or too large for the squares of the lengths: the same frame
    // from edges scaled to about 1.
    if (!sound && !scaled_frame(p1, p2, p3, el)) global_frame(el);
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
