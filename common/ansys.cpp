#include "common/ansys.h"

#include <cmath>

#include "common/format.h"
#include "common/outfile.h"

namespace domica {

namespace {

const double degrees = 57.29577951308232;  // 180 / pi

void line(std::string& out, const char* text) {
  out += text;
  out += '\n';
}

void node_line(std::string& out, long long number, const fvec3x1& p) {
  out += "N, ";
  put_int(out, number, 5);
  for (int axis = 1; axis <= 3; ++axis) {
    out += ", ";
    put_sci_signed(out, p(axis));
  }
  out += '\n';
}

void mp_line(std::string& out, const char* label, int mat, double value) {
  out += label;
  put_int(out, mat, 5);
  out += ", ";
  put_sci_signed(out, value);
  out += '\n';
}

void reinforcement(std::string& out, const char* head, int e, const char* middle, const steel_rec& steel, const fvec3x1& axis) {
  out += head;
  put_int(out, e, 5);
  out += middle;
  put_int(out, steel.mat, 5);
  out += ", ";
  put_sci_signed(out, steel.vr);
  out += ", ";
  put_sci_signed(out, theta_of(axis));
  out += ", ";
  put_sci_signed(out, phi_of(axis));
  out += '\n';
}

}  // namespace

double theta_of(const fvec3x1& axis) {
  if (axis(1) == 0.0 && axis(2) == 0.0) return 0.0;
  return degrees * std::atan2(axis(2), axis(1));
}

double phi_of(const fvec3x1& axis) {
  double s = axis(3);
  if (s > 1.0) s = 1.0;
  if (s < -1.0) s = -1.0;
  return degrees * std::asin(s);
}

std::string ansys_text(const net& nt, const surface& sf, const shell_rec& shell) {
  const concrete_rec& concrete = shell.concrete;
  const steel_rec& steel = shell.steel;
  std::string out;
  out.reserve(static_cast<std::size_t>(nt.nn) * 180 + static_cast<std::size_t>(nt.ne) * 260 + 2048);

  line(out, "/TITLE, SOLID65");
  line(out, "");
  line(out, "! ENTER THE MODEL CREATION PREPROCESSOR");
  line(out, "/PREP7");
  line(out, "");

  line(out, "! DEFINE NODES");
  double half = 0.5 * shell.thick;
  for (int glob = 1; glob <= nt.nn; ++glob) {
    fvec3x1 p;
    for (int axis = 1; axis <= 3; ++axis) p(axis) = sf.pos(glob, axis);
    for (int axis = 1; axis <= 3; ++axis) p(axis) = p(axis) - half * sf.outward(glob, axis);
    node_line(out, glob, p);
  }
  for (int glob = 1; glob <= nt.nn; ++glob) {
    fvec3x1 p;
    for (int axis = 1; axis <= 3; ++axis) p(axis) = sf.pos(glob, axis);
    for (int axis = 1; axis <= 3; ++axis) p(axis) = p(axis) + half * sf.outward(glob, axis);
    node_line(out, static_cast<long long>(nt.nn) + glob, p);
  }
  line(out, "");

  line(out, "! DEFINE MATERIAL PROPERTY - CONCRETE");
  mp_line(out, "MP,   EX, ", concrete.mat, concrete.ex);
  mp_line(out, "MP, NUXY, ", concrete.mat, concrete.nuxy);
  mp_line(out, "MP, DENS, ", concrete.mat, concrete.dens);
  mp_line(out, "MP, ALPX, ", concrete.mat, concrete.alpx);
  mp_line(out, "MP, REFT, ", concrete.mat, concrete.reft);
  line(out, "");

  line(out, "! ACTIVATE A DATA TABLE");
  out += "TB, CONCR, ";
  put_int(out, concrete.mat, 5);
  out += ",    1\n";
  line(out, "");

  line(out, "! DEFINE A TEMPERATURE FOR THE DATA TABLE");
  out += "TBTEMP, ";
  put_sci_signed(out, concrete.reft);
  out += ",    1\n";
  line(out, "");

  line(out, "! DEFINE DATA FOR THE DATA TABLE");
  out += "TBDATA,    1, ";
  put_sci_signed(out, concrete.c1);
  out += ", ";
  put_sci_signed(out, concrete.c2);
  out += ", ";
  put_sci_signed(out, concrete.ft);
  out += ", ";
  put_sci_signed(out, concrete.fc);
  out += '\n';
  line(out, "");

  line(out, "! DEFINE MATERIAL PROPERTY - STEEL");
  mp_line(out, "MP,   EX, ", steel.mat, steel.ex);
  mp_line(out, "MP, DENS, ", steel.mat, steel.dens);
  mp_line(out, "MP, ALPX, ", steel.mat, steel.alpx);
  mp_line(out, "MP, REFT, ", steel.mat, steel.reft);
  line(out, "");

  line(out, "! DEFINE REAL CONSTANTS SET");
  for (int e = 1; e <= nt.ne; ++e) {
    reinforcement(out, "R, ", e, ", ", steel, sf.tri(e).u);
    reinforcement(out, "RMODIF, ", e, ",    5, ", steel, sf.tri(e).v);
  }
  line(out, "");

  line(out, "! DEFINE ELEMENT TYPE");
  line(out, "ET,    1, SOLID65");
  line(out, "");

  line(out, "! SET THE MATERIAL PROPERTY ATTRIBUTE POINTER");
  out += "MAT, ";
  put_int(out, concrete.mat, 5);
  out += '\n';
  line(out, "");

  line(out, "! SET THE ELEMENT TYPE ATTRIBUTE POINTER");
  line(out, "TYPE,    1");
  line(out, "");

  line(out, "! DEFINE ELEMENTS");
  long long nn = nt.nn;
  for (int e = 1; e <= nt.ne; ++e) {
    long long g1 = nt.tri(e)(1), g2 = nt.tri(e)(2), g3 = nt.tri(e)(3);
    out += "REAL, ";
    put_int(out, e, 5);
    out += '\n';
    out += "EN, ";
    put_int(out, e, 5);
    for (long long node : {g1, g2, g3, g3, nn + g1, nn + g2, nn + g3, nn + g3}) {
      out += ", ";
      put_int(out, node, 5);
    }
    out += '\n';
  }
  line(out, "");

  line(out, "FINISH");
  line(out, "");
  line(out, "! ENTER THE SOLUTION PROCESSOR");
  line(out, "/SOLU");
  line(out, "");
  line(out, "! STATIC ANALYSIS");
  line(out, "ANTYPE, STATIC, NEW");
  line(out, "");

  line(out, "! DEFINE CONSTRAINTS");
  static const char* const dof[3] = {", UX,  0.00000000E+00\n", ", UY,  0.00000000E+00\n", ", UZ,  0.00000000E+00\n"};
  for (int glob = 1; glob <= nt.nn; ++glob)
    for (int axis = 1; axis <= 3; ++axis)
      if (nt.fixed(glob, axis) == 1) {
        out += "D, ";
        put_int(out, glob, 5);
        out += dof[axis - 1];
        out += "D, ";
        put_int(out, nn + glob, 5);
        out += dof[axis - 1];
      }
  line(out, "");

  line(out, "! DELETE FORCE LOADS ON NODES");
  line(out, "FDELE, ALL, ALL");
  line(out, "");

  line(out, "! ASSIGN UNIFORM TEMPERATURE TO ALL NODES");
  out += "TUNIF, ";
  put_sci_signed(out, shell.temp);
  out += '\n';
  line(out, "");

  line(out, "! SPECIFY ACCELERATION");
  out += "ACEL,  0.00000000E+00,  0.00000000E+00, ";
  put_sci_signed(out, shell.gravity);
  out += '\n';
  line(out, "");

  line(out, "! SPECIFY PRESSURE LOAD");
  out += "NSEL, S, NODE, , ";
  put_int(out, nn + 1, 5);
  out += ", ";
  put_int(out, 2 * nn, 5);
  out += '\n';
  out += "SF, ALL, PRES, ";
  put_sci_signed(out, shell.pressure);
  out += '\n';
  line(out, "NSEL, ALL, NODE");
  line(out, "");

  line(out, "! START A SOLUTION");
  line(out, "SOLVE");
  line(out, "");
  line(out, "FINISH");
  return out;
}

void ansys(const net& nt, const surface& sf, const shell_rec& shell, const std::string& path) {
  write_file(path, "ansys.txt", ansys_text(nt, sf, shell));
}

}  // namespace domica
