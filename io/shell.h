// Reader of the shell file shell.txt: the concrete shell's thickness, loads
// and materials, which the ANSYS writer needs.
#pragma once

#include <string>

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

}  // namespace domica
