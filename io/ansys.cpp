#include "io/ansys.h"

#include <cmath>
#include <initializer_list>
#include <string>

#include "model/failure.h"
#include "model/format.h"
#include "io/outfile.h"

namespace domica {

namespace {

const double degrees = 57.29577951308232;  // 180 / pi

void line(std::string& out, const char* text) {
  out += text;
  out += '\n';
}

[[noreturn]] void not_finite(const std::string& what) {
  throw failure(exit_solution, "ansys.txt: " + what + " is not finite; no output written");
}

void node_line(std::string& out, long long number, const fvec3x1& p) {
  if (!std::isfinite(p(1)) || !std::isfinite(p(2)) || !std::isfinite(p(3)))
    not_finite("node " + std::to_string(number) + " of the solid model (a mid-surface node moved by half the thickness thick)");
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
  double theta = theta_of(axis), phi = phi_of(axis);
  if (!std::isfinite(theta) || !std::isfinite(phi)) not_finite("the reinforcement angle of element " + std::to_string(e));
  out += head;
  put_int(out, e, 5);
  out += middle;
  put_int(out, steel.mat, 5);
  out += ", ";
  put_sci_signed(out, steel.vr);
  out += ", ";
  put_sci_signed(out, theta);
  out += ", ";
  put_sci_signed(out, phi);
  out += '\n';
}

struct property {
  const char* label;
  double value;
};

// "! comment", one MP line per property of material mat, an empty line.
void mp_block(std::string& out, const char* comment, int mat, std::initializer_list<property> props) {
  line(out, comment);
  for (const property& p : props) mp_line(out, p.label, mat, p.value);
  line(out, "");
}

// "! comment", then head, the value in signed scientific form and tail on
// one line, then an empty line.
void valued_block(std::string& out, const char* comment, const char* head, double value, const char* tail) {
  line(out, comment);
  out += head;
  put_sci_signed(out, value);
  out += tail;
  out += '\n';
  line(out, "");
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
  // The inner face, nodes 1..nn, then the outer face, nodes nn+1..2nn.
  for (int face = 0; face < 2; ++face)
    for (int glob = 1; glob <= nt.nn; ++glob) {
      fvec3x1 p;
      for (int axis = 1; axis <= 3; ++axis)
        p(axis) = face == 0 ? sf.pos(glob, axis) - half * sf.outward(glob, axis) : sf.pos(glob, axis) + half * sf.outward(glob, axis);
      node_line(out, static_cast<long long>(nt.nn) * face + glob, p);
    }
  line(out, "");

  mp_block(out, "! DEFINE MATERIAL PROPERTY - CONCRETE", concrete.mat,
           {{"MP,   EX, ", concrete.ex}, {"MP, NUXY, ", concrete.nuxy}, {"MP, DENS, ", concrete.dens},
            {"MP, ALPX, ", concrete.alpx}, {"MP, REFT, ", concrete.reft}});

  line(out, "! ACTIVATE A DATA TABLE");
  out += "TB, CONCR, ";
  put_int(out, concrete.mat, 5);
  out += ",    1\n";
  line(out, "");

  valued_block(out, "! DEFINE A TEMPERATURE FOR THE DATA TABLE", "TBTEMP, ", concrete.reft, ",    1");

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

  mp_block(out, "! DEFINE MATERIAL PROPERTY - STEEL", steel.mat,
           {{"MP,   EX, ", steel.ex}, {"MP, DENS, ", steel.dens}, {"MP, ALPX, ", steel.alpx}, {"MP, REFT, ", steel.reft}});

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

  valued_block(out, "! ASSIGN UNIFORM TEMPERATURE TO ALL NODES", "TUNIF, ", shell.temp, "");
  valued_block(out, "! SPECIFY ACCELERATION", "ACEL,  0.00000000E+00,  0.00000000E+00, ", shell.gravity, "");

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
