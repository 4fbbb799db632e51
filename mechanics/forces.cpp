#include "mechanics/forces.h"

#include <cmath>

#include "mechanics/cst.h"

namespace domica {

namespace {

// The principal values and the direction of n1 of t from its n11, n22, n12
// in the frame fr; t is returned as it is, or all zero when a value is not
// finite.
tri_force principal(tri_force t, const frame& fr) {
  double mean = 0.5 * (t.n11 + t.n22);
  double half = 0.5 * (t.n11 - t.n22);
  double radius = std::hypot(half, t.n12);
  t.n1 = mean + radius;
  t.n2 = mean - radius;
  double theta = 0.5 * std::atan2(t.n12, half);
  double cs = std::cos(theta), sn = std::sin(theta);
  for (int axis = 1; axis <= 3; ++axis) t.dir(axis) = cs * fr.u(axis) + sn * fr.v(axis);
  bool finite = std::isfinite(t.n11) && std::isfinite(t.n22) && std::isfinite(t.n12) && std::isfinite(t.n1) &&
                std::isfinite(t.n2) && std::isfinite(t.area);
  return finite ? t : tri_force{};
}

// The values of one triangle from its deformation gradient columns fx = F_X
// and fy = F_Y, its plan forces hs = h S (xx, yy, xy) and its frame.
tri_force of_triangle(const double fx[3], const double fy[3], const double hs[3], const frame& fr, double plan_area) {
  tri_force t;
  double c1 = fx[1] * fy[2] - fx[2] * fy[1];
  double c2 = fx[2] * fy[0] - fx[0] * fy[2];
  double c3 = fx[0] * fy[1] - fx[1] * fy[0];
  double j = std::sqrt(c1 * c1 + c2 * c2 + c3 * c3);
  if (!(j > 0.0) || !std::isfinite(j)) return t;
  // F^T u and F^T v: the frame axes carried back to the plan.
  double pu[2] = {fx[0] * fr.u(1) + fx[1] * fr.u(2) + fx[2] * fr.u(3), fy[0] * fr.u(1) + fy[1] * fr.u(2) + fy[2] * fr.u(3)};
  double pv[2] = {fx[0] * fr.v(1) + fx[1] * fr.v(2) + fx[2] * fr.v(3), fy[0] * fr.v(1) + fy[1] * fr.v(2) + fy[2] * fr.v(3)};
  auto quad = [&](const double* p, const double* q) {
    return (p[0] * (hs[0] * q[0] + hs[2] * q[1]) + p[1] * (hs[2] * q[0] + hs[1] * q[1])) / j;
  };
  t.n11 = quad(pu, pu);
  t.n22 = quad(pv, pv);
  t.n12 = quad(pu, pv);
  t.ratio = j;
  t.area = j * plan_area;
  return principal(t, fr);
}

// The node values of f: the means of the triangles' n1 and n2 around each
// node, weighted by their found areas, in triangle order.
void node_means(const net& nt, membrane_forces& out) {
  fmat1 weight(nt.nn);
  for (int e = 1; e <= nt.ne; ++e) {
    const tri_force& t = out.tri(e);
    for (int loc = 1; loc <= 3; ++loc) {
      int glob = nt.tri(e)(loc);
      weight(glob) = weight(glob) + t.area;
      out.node(glob, 1) = out.node(glob, 1) + t.area * t.n1;
      out.node(glob, 2) = out.node(glob, 2) + t.area * t.n2;
    }
  }
  for (int glob = 1; glob <= nt.nn; ++glob) {
    if (!(weight(glob) > 0.0)) continue;
    for (int k = 1; k <= 2; ++k) {
      double v = out.node(glob, k) / weight(glob);
      out.node(glob, k) = std::isfinite(v) ? v : 0.0;
    }
  }
}

}  // namespace

membrane_forces forces(const net& nt, const assembly& as, double thickness, const surface& sf) {
  membrane_forces out;
  out.tri = arr1<tri_force>(nt.ne);
  out.node = fmat2(nt.nn, 2);
  for (int e = 1; e <= nt.ne; ++e) {
    double xe[3][3];
    for (int loc = 1; loc <= 3; ++loc) {
      int glob = nt.tri(e)(loc);
      xe[loc - 1][0] = sf.pos(glob, 1) - nt.xo(glob);
      xe[loc - 1][1] = sf.pos(glob, 2) - nt.yo(glob);
      xe[loc - 1][2] = sf.pos(glob, 3);
    }
    cst_state s;
    cst_strains(as.plan(e), as.hk, xe, s);
    double fx[3] = {1.0 + s.a[0], s.a[1], s.a[2]};
    double fy[3] = {s.b[0], 1.0 + s.b[1], s.b[2]};
    // s.sxy is the work conjugate of the tensor shear strain counted once,
    // twice the shear stress (see hooke).
    double hs[3] = {thickness * s.sxx, thickness * s.syy, thickness * (0.5 * s.sxy)};
    double plan_area = thickness > 0.0 ? as.plan(e).volume / thickness : 0.0;
    out.tri(e) = of_triangle(fx, fy, hs, sf.tri(e), plan_area);
  }
  node_means(nt, out);
  return out;
}

membrane_forces reversed(const net& nt, const membrane_forces& f, const surface& sf) {
  membrane_forces out;
  out.tri = arr1<tri_force>(nt.ne);
  out.node = fmat2(nt.nn, 2);
  for (int e = 1; e <= nt.ne; ++e) {
    tri_force t = f.tri(e);
    if (t.area > 0.0) {
      t.n11 = -t.n11;
      t.n22 = -t.n22;
      t.n12 = -t.n12;
      t = principal(t, sf.tri(e));
    }
    out.tri(e) = t;
  }
  node_means(nt, out);
  return out;
}

double force_scale(const membrane_forces& f) {
  double scale = 0.0;
  for (int e = 1; e <= f.tri.hi(); ++e) scale = std::fmax(scale, std::fmax(std::fabs(f.tri(e).n1), std::fabs(f.tri(e).n2)));
  return scale;
}

bool in_tension(const tri_force& t, double scale) { return t.n1 > 1e-9 * scale; }

}  // namespace domica
