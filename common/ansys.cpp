#include "common/ansys.h"

#include <cmath>

#include "common/format.h"
#include "common/geometry.h"
#include "common/outfile.h"
#include "common/text.h"

namespace domica {

shell_rec read_shell(const std::string& path, const std::string& name) {
  text_file t = open_text(path, name);
  return read_shell(t);
}

shell_rec read_shell(text_file& t) {
  shell_rec s;
  scan(t, "the shell data");
  s.thick = read_real(t, "thick");
  if (!(s.thick > 0.0)) input_error(t, t.line, "the shell thickness thick must be greater than 0");
  s.gravity = read_real(t, "gravity");
  s.pressure = read_real(t, "pressure");
  s.temp = read_real(t, "temp");
  end_record(t);
  scan(t, "the concrete data");
  s.concrete.ex = read_real(t, "concrete ex");
  s.concrete.nuxy = read_real(t, "concrete nuxy");
  s.concrete.dens = read_real(t, "concrete dens");
  s.concrete.alpx = read_real(t, "concrete alpx");
  s.concrete.fc = read_real(t, "concrete fc");
  s.concrete.ft = read_real(t, "concrete ft");
  s.concrete.c1 = read_real(t, "concrete c1");
  s.concrete.c2 = read_real(t, "concrete c2");
  end_record(t);
  scan(t, "the steel data");
  s.steel.ex = read_real(t, "steel ex");
  s.steel.dens = read_real(t, "steel dens");
  s.steel.alpx = read_real(t, "steel alpx");
  s.steel.vr = read_real(t, "steel vr");
  end_record(t);
  return s;
}

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

std::string ansys_text(const model& m, const shell_rec& shell) {
  const concrete_rec& concrete = shell.concrete;
  const steel_rec& steel = shell.steel;
  std::string out;
  out.reserve(static_cast<std::size_t>(m.nn) * 180 + static_cast<std::size_t>(m.ne) * 260 + 2048);

  line(out, "/TITLE, SOLID65");
  line(out, "");
  line(out, "! ENTER THE MODEL CREATION PREPROCESSOR");
  line(out, "/PREP7");
  line(out, "");

  line(out, "! DEFINE NODES");
  double half = 0.5 * shell.thick;
  for (int glob = 1; glob <= m.nn; ++glob) {
    fvec3x1 p;
    vertex(m, glob, p);
    for (int axis = 1; axis <= 3; ++axis) p(axis) = p(axis) - half * m.outward(glob, axis);
    node_line(out, glob, p);
  }
  for (int glob = 1; glob <= m.nn; ++glob) {
    fvec3x1 p;
    vertex(m, glob, p);
    for (int axis = 1; axis <= 3; ++axis) p(axis) = p(axis) + half * m.outward(glob, axis);
    node_line(out, static_cast<long long>(m.nn) + glob, p);
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
  for (int e = 1; e <= m.ne; ++e) {
    reinforcement(out, "R, ", e, ", ", steel, m.cst(e).u);
    reinforcement(out, "RMODIF, ", e, ",    5, ", steel, m.cst(e).v);
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
  long long nn = m.nn;
  for (int e = 1; e <= m.ne; ++e) {
    long long g1 = m.cst(e).glob(1), g2 = m.cst(e).glob(2), g3 = m.cst(e).glob(3);
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
  for (int glob = 1; glob <= m.nn; ++glob)
    for (int axis = 1; axis <= 3; ++axis)
      if (m.index(glob, axis) > m.n) {
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

void ansys(const model& m, const shell_rec& shell, const std::string& path) {
  write_file(path, "ansys.txt", ansys_text(m, shell));
}

}  // namespace domica
