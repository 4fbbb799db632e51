// ANSYS model of the found shell: a layer of SOLID65 wedges between an inner
// and an outer copy of the mid-surface, concrete and steel data from
// shell.txt, one reinforcement set per element along its in-plane axes,
// supports, loads and a static solution.
#pragma once

#include <string>

#include "common/model.h"

namespace domica {

struct concrete_rec {
  int mat = 1;
  double ex = 0.0, nuxy = 0.0, dens = 0.0, alpx = 0.0;
  double reft = 0.0;  // never read from the file
  double fc = 0.0, ft = 0.0, c1 = 0.0, c2 = 0.0;
};

struct steel_rec {
  int mat = 2;
  double ex = 0.0, dens = 0.0, alpx = 0.0;
  double reft = 0.0;  // never read from the file
  double vr = 0.0;
};

// Contents of shell.txt.
struct shell_rec {
  double thick = 0.0, gravity = 0.0, pressure = 0.0, temp = 0.0;
  concrete_rec concrete;
  steel_rec steel;
};

// Read shell.txt: three sections, each opened by a line beginning with ':'
// (thick, gravity, pressure, temp; concrete ex, nuxy, dens, alpx, fc, ft, c1,
// c2; steel ex, dens, alpx, vr). Every failure names the file and the line.
shell_rec read_shell(const std::string& path = "shell.txt", const std::string& name = "shell.txt");
struct text_file;
shell_rec read_shell(text_file& t);

// Reinforcement angles in degrees of a unit axis: theta from the arctangent of
// its horizontal components (0 when both vanish), phi from the arcsine of its
// vertical component (clamped to -1..1 against rounding).
double theta_of(const fvec3x1& axis);
double phi_of(const fvec3x1& axis);

// The whole text of ansys.txt.
std::string ansys_text(const model& m, const shell_rec& shell);

// Write ansys.txt (whole or not at all).
void ansys(const model& m, const shell_rec& shell, const std::string& path = "ansys.txt");

}  // namespace domica
