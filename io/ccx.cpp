#include "io/ccx.h"

#include <charconv>
#include <cmath>
#include <string>

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

}  // namespace

ccx_deck shell_deck(const shell_rec& shell) {
  ccx_deck d;
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
    out += "*STEP\n*STATIC\n";
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
