#include "io/ccx.h"

#include <charconv>
#include <cmath>
#include <algorithm>
#include <string>
#include <vector>

#include "model/failure.h"

namespace domica {

namespace {

const long field = 20;

void put(std::string& out, double v) {
  if (!std::isfinite(v)) throw failure(exit_solution, "shell.inp: a value of the shell is not finite; no output written");
  if (v == 0.0) v = 0.0;  // no sign on zero
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  // CalculiX reads a real from at most 20 characters. The shortest exact
  // form needs up to 24 (a sign, 17 digits, a point and an exponent of up
  // to 4); such a value is rounded to as many digits as fit, 13 at the
  // least, a relative change below 1e-12.
  for (int digits = 16; r.ptr - buf > field; --digits)
    r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, digits);
  out.append(buf, r.ptr);
}

void put(std::string& out, long long v) { out += std::to_string(v); }

// Values separated by ", ", then a line break.
template <class... V>
void record(std::string& out, V... v) {
  const char* sep = "";
  ((out += sep, put(out, v), sep = ", "), ...);
  out += '\n';
}


// A corner of a clipped triangle: its plan position and its weights on the
// triangle's three corners (the values of the linear shape functions).
struct clipped_point {
  double x, y;
  double w[3];
};

// The integrals of the three corners' shape functions over the part of the
// plan triangle (x, y of a, b, c) where x < xm: the triangle clipped to the
// half-plane, fanned into triangles, each adding its area times the shape
// functions' mean over its corners (exact for linear functions).
void half_plane_shares(const double (&x)[3], const double (&y)[3], double xm, double (&share)[3]) {
  std::vector<clipped_point> in = {{x[0], y[0], {1, 0, 0}}, {x[1], y[1], {0, 1, 0}}, {x[2], y[2], {0, 0, 1}}}, out;
  for (std::size_t k = 0; k < in.size(); ++k) {
    const clipped_point &p = in[k], &q = in[(k + 1) % in.size()];
    bool pin = p.x < xm, qin = q.x < xm;
    if (pin) out.push_back(p);
    if (pin != qin) {
      double t = (xm - p.x) / (q.x - p.x);
      clipped_point c{xm, p.y + t * (q.y - p.y), {}};
      for (int i = 0; i < 3; ++i) c.w[i] = p.w[i] + t * (q.w[i] - p.w[i]);
      out.push_back(c);
    }
  }
  share[0] = share[1] = share[2] = 0.0;
  for (std::size_t k = 1; k + 1 < out.size(); ++k) {
    const clipped_point &a = out[0], &b = out[k], &c = out[k + 1];
    double area = 0.5 * std::fabs((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y));
    for (int i = 0; i < 3; ++i) share[i] += area * (a.w[i] + b.w[i] + c.w[i]) / 3.0;
  }
}

// One static step of the found shell: its load as *CLOAD, replacing the
// previous step's, and the results asked for.
void static_step(std::string& out, const ccx_case& c) {
  out += "** Load case: " + c.name + "\n";
  out += "*STEP\n*STATIC\n*CLOAD, OP=NEW\n";
  for (int glob = 1; glob <= c.load.rows(); ++glob)
    for (int axis = 1; axis <= 3; ++axis)
      if (c.load(glob, axis) != 0.0) record(out, static_cast<long long>(glob), static_cast<long long>(axis), c.load(glob, axis));
  out += "*NODE PRINT, NSET=NALL\nU, RF\n*EL PRINT, ELSET=EALL\nS\n*NODE FILE\nU, RF\n*EL FILE\nS\n*END STEP\n";
}

}  // namespace

ccx_loads ccx_cases(const net& nt, const fmat2& pos, const ccx_deck& deck) {
  ccx_loads loads;
  const int nn = nt.nn;
  double weight = deck.density * deck.gravity * deck.thickness;  // per area
  double xmin = nn > 0 ? pos(1, 1) : 0.0, xmax = xmin;
  for (int glob = 1; glob <= nn; ++glob) xmin = std::min(xmin, pos(glob, 1)), xmax = std::max(xmax, pos(glob, 1));
  const double xm = 0.5 * (xmin + xmax);
  fmat2 self(nn, 3), snow(nn, 3), half(nn, 3), pressure(nn, 3);
  for (int e = 1; e <= nt.ne; ++e) {
    int c[3] = {nt.tri(e)(1), nt.tri(e)(2), nt.tri(e)(3)};
    double u[3], v[3], x[3], y[3];
    for (int axis = 1; axis <= 3; ++axis) {
      u[axis - 1] = pos(c[1], axis) - pos(c[0], axis);
      v[axis - 1] = pos(c[2], axis) - pos(c[0], axis);
    }
    for (int k = 0; k < 3; ++k) x[k] = pos(c[k], 1), y[k] = pos(c[k], 2);
    // Twice the area vector, along the right-hand normal of the corner order.
    double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    double area = 0.5 * std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    double plan = 0.5 * std::fabs(n[2]);
    double share[3];
    half_plane_shares(x, y, xm, share);
    for (int k = 0; k < 3; ++k) {
      self(c[k], 3) -= weight * area / 3.0;
      snow(c[k], 3) -= deck.snow * plan / 3.0;
      half(c[k], 3) -= deck.snow * share[k];
      // This system's pressure pushes against the right-hand normal.
      for (int axis = 1; axis <= 3; ++axis) pressure(c[k], axis) -= deck.pressure * n[axis - 1] / 6.0;
    }
  }
  for (int glob = 1; glob <= nn; ++glob) {
    snow(glob, 3) += self(glob, 3);
    half(glob, 3) += self(glob, 3);
  }
  loads.cases.push_back({"self-weight", self});
  if (deck.snow > 0.0) {
    loads.cases.push_back({"snow", snow});
    loads.cases.push_back({"half snow", half});
    loads.buckling = 1;
  }
  if (deck.pressure != 0.0) loads.cases.push_back({"pressure", pressure});
  // No buckling step under no load.
  bool loaded = false;
  const fmat2& b = loads.cases[static_cast<std::size_t>(loads.buckling)].load;
  for (int glob = 1; glob <= nn; ++glob) loaded = loaded || b(glob, 3) != 0.0;
  if (!loaded) loads.buckling = -1;
  return loads;
}

ccx_deck shell_deck(const shell_rec& shell, double snow) {
  ccx_deck d;
  d.snow = snow;
  d.thickness = shell.thick;
  d.young = shell.concrete.ex;
  d.poisson = shell.concrete.nuxy;
  d.density = shell.concrete.dens;
  d.gravity = std::fabs(shell.gravity);
  d.pressure = shell.pressure;
  return d;
}

ccx_deck membrane_deck(const material& mat, const loading& load) {
  ccx_deck d;
  d.thickness = mat.thickness / 100.0;
  d.young = mat.young * 100.0;
  d.poisson = mat.poisson;
  d.density = load.weight * 100.0;
  d.gravity = 1.0;
  d.pressure = load.pressure;
  d.membrane = true;
  return d;
}

std::string ccx_text(const net& nt, const fmat2& pos, const ccx_deck& deck) {
  std::string out;
  out.reserve(static_cast<std::size_t>(nt.nn) * 70 + static_cast<std::size_t>(nt.ne) * 40 + 1024);
  out += deck.membrane ? "** The net's membrane problem as thin S3 shells (E*100, thickness/100)\n"
                       : "** The found shell as S3 shells of the concrete of shell.txt\n";
  out += "*NODE, NSET=NALL\n";
  for (int glob = 1; glob <= nt.nn; ++glob) record(out, static_cast<long long>(glob), pos(glob, 1), pos(glob, 2), pos(glob, 3));
  out += "*ELEMENT, TYPE=S3, ELSET=EALL\n";
  for (int e = 1; e <= nt.ne; ++e)
    record(out, static_cast<long long>(e), static_cast<long long>(nt.tri(e)(1)), static_cast<long long>(nt.tri(e)(2)),
           static_cast<long long>(nt.tri(e)(3)));
  out += "*MATERIAL, NAME=SHELL\n*ELASTIC\n";
  record(out, deck.young, deck.poisson);
  out += "*DENSITY\n";
  record(out, deck.density);
  out += "*SHELL SECTION, ELSET=EALL, MATERIAL=SHELL\n";
  record(out, deck.thickness);

  bool any = false;
  for (int glob = 1; glob <= nt.nn; ++glob)
    for (int axis = 1; axis <= 3; ++axis)
      if (nt.fixed(glob, axis) == 1) {
        if (!any) out += "*BOUNDARY\n";
        any = true;
        long long g = glob, a = axis;
        // The found shell's supports are held where the found surface puts them.
        double value = deck.membrane ? nt.known(glob, axis) : 0.0;
        if (value != 0.0)
          record(out, g, a, a, value);
        else
          record(out, g, a, a);
      }

  if (deck.membrane) {
    out += "*STEP, NLGEOM, INC=1000\n";
    // More Newton iterations and cut-backs per increment than the defaults:
    // the flat net has no vertical stiffness until it has deflected.
    out += "*CONTROLS, PARAMETERS=TIME INCREMENTATION\n";
    out += "4, 8, 9, 60, 10, 4, 0, 30\n";
    out += "*STATIC\n";
    out += "0.1, 1\n";
  } else {
    ccx_loads loads = ccx_cases(nt, pos, deck);
    for (const ccx_case& c : loads.cases) static_step(out, c);
    if (loads.buckling < 0) return out;
    const ccx_case& b = loads.cases[static_cast<std::size_t>(loads.buckling)];
    out += "** Linear buckling under " + b.name + "\n";
    out += "*STEP\n*BUCKLE\n";
    record(out, static_cast<long long>(deck.modes));
    out += "*CLOAD, OP=NEW\n";
    for (int glob = 1; glob <= nt.nn; ++glob)
      for (int axis = 1; axis <= 3; ++axis)
        if (b.load(glob, axis) != 0.0) record(out, static_cast<long long>(glob), static_cast<long long>(axis), b.load(glob, axis));
    out += "*NODE PRINT, NSET=NALL\nU\n*NODE FILE\nU\n*END STEP\n";
    return out;
  }
  double weight = deck.density * deck.gravity;
  if (weight != 0.0 || deck.pressure != 0.0) {
    out += "*DLOAD\n";
    if (weight != 0.0) {
      out += "EALL, GRAV, ";
      put(out, deck.gravity);
      out += ", 0, 0, -1\n";
    }
    if (deck.pressure != 0.0) {
      out += "EALL, P, ";
      put(out, -deck.pressure);
      out += '\n';
    }
  }
  if (deck.membrane) {
    any = false;
    for (int glob = 1; glob <= nt.nn; ++glob)
      for (int axis = 1; axis <= 3; ++axis)
        if (nt.point(glob, axis) != 0.0) {
          if (!any) out += "*CLOAD\n";
          any = true;
          record(out, static_cast<long long>(glob), static_cast<long long>(axis), nt.point(glob, axis));
        }
  }
  out += "*NODE FILE\nU\n*NODE PRINT, NSET=NALL\nU\n*EL FILE\nS\n*END STEP\n";
  return out;
}

}  // namespace domica
