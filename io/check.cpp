#include "io/check.h"

#include <charconv>
#include <cstdio>
#include <algorithm>
#include <cmath>

#include "model/failure.h"

namespace domica {

namespace {

void put(std::string& out, double v) {
  if (!std::isfinite(v)) throw failure(exit_solution, "check.json: a result of CalculiX is not finite; no output written");
  if (v == 0.0) v = 0.0;
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

// A JSON string of plain text (quotes, backslashes and control characters escaped).
void put(std::string& out, const std::string& s) {
  out += '"';
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\', out += c;
    else if (static_cast<unsigned char>(c) < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else
      out += c;
  }
  out += '"';
}

void at(std::string& out, int element, const char* face, const double (&centre)[3]) {
  out += "{\"element\": " + std::to_string(element) + ", \"face\": ";
  put(out, std::string(face));
  out += ", \"centre\": [";
  for (int a = 0; a < 3; ++a) {
    if (a) out += ", ";
    put(out, centre[a]);
  }
  out += "]}";
}

std::string format(const char* f, double a, double b = 0.0, double c = 0.0) {
  char buf[160];
  std::snprintf(buf, sizeof buf, f, a, b, c);
  return buf;
}

}  // namespace

void principal_stresses(const double (&s)[6], double (&p)[3]) {
  const double xx = s[0], yy = s[1], zz = s[2], xy = s[3], xz = s[4], yz = s[5];
  double off = xy * xy + xz * xz + yz * yz;
  double q = (xx + yy + zz) / 3.0;
  if (off == 0.0) {
    p[0] = xx, p[1] = yy, p[2] = zz;
  } else {
    double a = xx - q, b = yy - q, c = zz - q;
    double pp = std::sqrt((a * a + b * b + c * c + 2.0 * off) / 6.0);
    // det((S - q I) / pp) / 2, the cosine of three times the angle
    double det = a * (b * c - yz * yz) - xy * (xy * c - yz * xz) + xz * (xy * yz - b * xz);
    double r = pp > 0.0 ? det / (2.0 * pp * pp * pp) : 0.0;
    r = std::clamp(r, -1.0, 1.0);
    double phi = std::acos(r) / 3.0;
    const double third = 2.0943951023931954923;  // 2 pi / 3
    p[2] = q + 2.0 * pp * std::cos(phi);
    p[0] = q + 2.0 * pp * std::cos(phi + third);
    p[1] = 3.0 * q - p[0] - p[2];
  }
  std::sort(p, p + 3);
}

check_record check_figures(const net& nt, const fmat2& pos, const ccx_loads& loads, const ccx_result& res) {
  check_record c;
  const double root3 = 1.7320508075688772935;
  static const char* const faces[3] = {"bottom", "middle", "top"};
  for (std::size_t k = 0; k < loads.cases.size() && k < res.steps.size(); ++k) {
    const ccx_step& st = res.steps[k];
    const fmat2& load = loads.cases[k].load;
    check_case cc;
    cc.name = loads.cases[k].name;
    for (int glob = 1; glob <= nt.nn; ++glob) {
      double u = std::sqrt(st.u(glob, 1) * st.u(glob, 1) + st.u(glob, 2) * st.u(glob, 2) + st.u(glob, 3) * st.u(glob, 3));
      if (cc.max_displacement_node == 0 || u > cc.max_displacement) cc.max_displacement = u, cc.max_displacement_node = glob;
      for (int axis = 1; axis <= 3; ++axis)
        if (nt.fixed(glob, axis) == 1) cc.reaction[axis - 1] += st.rf(glob, axis) - load(glob, axis);
    }
    bool first = true;
    for (int e = 1; e <= nt.ne; ++e) {
      for (int f = 0; f < 3; ++f) {
        double s[6], p[3];
        for (int i = 0; i < 6; ++i) {
          double mid = 0.5 * (st.s1(e, i + 1) + st.s2(e, i + 1));
          double slope = 0.5 * root3 * (st.s2(e, i + 1) - st.s1(e, i + 1));
          s[i] = mid + (f - 1) * slope;
        }
        principal_stresses(s, p);
        if (first || p[0] < cc.min_principal) cc.min_principal = p[0], cc.min_element = e, cc.min_face = faces[f];
        if (first || p[2] > cc.max_principal) cc.max_principal = p[2], cc.max_element = e, cc.max_face = faces[f];
        first = false;
      }
    }
    for (int a = 1; a <= 3; ++a)
      for (int loc = 1; loc <= 3; ++loc) {
        cc.min_centre[a - 1] += pos(nt.tri(cc.min_element)(loc), a) / 3.0;
        cc.max_centre[a - 1] += pos(nt.tri(cc.max_element)(loc), a) / 3.0;
      }
    c.cases.push_back(cc);
  }
  c.factors = res.factors;
  std::sort(c.factors.begin(), c.factors.end());
  if (loads.buckling >= 0 && static_cast<std::size_t>(loads.buckling) < loads.cases.size())
    c.buckling_load = loads.cases[static_cast<std::size_t>(loads.buckling)].name;
  return c;
}

std::string check_text(const check_record& c) {
  std::string out = "check by CalculiX (stresses negative in compression):\n";
  for (const check_case& k : c.cases) {
    out += "  " + k.name + ":\n";
    out += format("    worst compression %.4g at element ", k.min_principal) + std::to_string(k.min_element) + " (" + k.min_face +
           format(" face, centre %.4g, %.4g, %.4g)\n", k.min_centre[0], k.min_centre[1], k.min_centre[2]);
    out += format("    worst tension %.4g at element ", k.max_principal) + std::to_string(k.max_element) + " (" + k.max_face +
           format(" face, centre %.4g, %.4g, %.4g)\n", k.max_centre[0], k.max_centre[1], k.max_centre[2]);
    out += format("    largest displacement %.4g at node ", k.max_displacement) + std::to_string(k.max_displacement_node) + "\n";
    out += format("    total reaction %.6g, %.6g, %.6g\n", k.reaction[0], k.reaction[1], k.reaction[2]);
  }
  if (!c.factors.empty()) {
    double f = c.factors.front();
    out += format("  lowest buckling factor %.4g", f) + " under " + c.buckling_load +
           (f < low_buckling_factor ? format(": LOW, below %g (linear buckling, before knock-down factors)\n", low_buckling_factor)
                                    : format(" (at least %g: enough for linear buckling before knock-down factors)\n", low_buckling_factor));
  }
  for (const std::string& l : c.left_out) out += "  left out: " + l + "\n";
  return out;
}

std::string check_json(const check_record& c) {
  std::string out = "{\n  \"cases\": [";
  const char* sep = "\n";
  for (const check_case& k : c.cases) {
    out += sep;
    sep = ",\n";
    out += "    {\"name\": ";
    put(out, k.name);
    out += ", \"max_displacement\": ";
    put(out, k.max_displacement);
    out += ", \"max_displacement_node\": " + std::to_string(k.max_displacement_node);
    out += ",\n     \"min_principal_stress\": ";
    put(out, k.min_principal);
    out += ", \"min_principal_at\": ";
    at(out, k.min_element, k.min_face, k.min_centre);
    out += ",\n     \"max_principal_stress\": ";
    put(out, k.max_principal);
    out += ", \"max_principal_at\": ";
    at(out, k.max_element, k.max_face, k.max_centre);
    out += ",\n     \"reaction\": [";
    for (int a = 0; a < 3; ++a) {
      if (a) out += ", ";
      put(out, k.reaction[a]);
    }
    out += "]}";
  }
  out += "\n  ],\n  \"buckling_factors\": [";
  for (std::size_t i = 0; i < c.factors.size(); ++i) {
    if (i) out += ", ";
    put(out, c.factors[i]);
  }
  out += "],\n  \"buckling_load\": ";
  put(out, c.buckling_load);
  out += ",\n  \"snow\": ";
  put(out, c.snow);
  out += ",\n  \"left_out\": [";
  for (std::size_t i = 0; i < c.left_out.size(); ++i) {
    if (i) out += ", ";
    put(out, c.left_out[i]);
  }
  out += "]\n}\n";
  return out;
}

}  // namespace domica
