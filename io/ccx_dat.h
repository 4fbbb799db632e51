// Reader of the .dat file CalculiX writes for the found shell's deck
// (io/ccx.h): the node displacements, nodal forces and element stresses of
// each static step, then the buckling factors and the modes' displacements.
//
// The file holds blocks, each opened by a title line such as
//   " displacements (vx,vy,vz) for set NALL and time  0.1000000E+01"
//   " forces (fx,fy,fz) for set NALL and time  0.1000000E+01"
//   " stresses (elem, integ.pnt.,sxx,syy,szz,sxy,sxz,syz) for set EALL and time ..."
//   "     B U C K L I N G   F A C T O R   O U T P U T"
//   "                    E I G E N V A L U E    N U M B E R     1"
// and followed by one row per node ("node vx vy vz"), per integration point
// ("elem point sxx syy szz sxy sxz syz name") or per mode ("mode factor").
// The k-th displacement, force and stress blocks before the buckling factors
// are the k-th static step's; the buckling step's own static state, printed
// before its factors, is not read. The displacements after the title
// "E I G E N V A L U E N U M B E R k" are mode k.
//
// CalculiX expands each S3 shell into a wedge of six nodes with two
// integration points, point 1 on the side opposite to the right-hand normal
// of the corner order and point 2 on its side; the displacements and nodal
// forces are printed at the shell's own nodes.
#pragma once

#include <string>
#include <vector>

#include "model/array.h"

namespace domica {

// One static step: nn x 3 displacements and nodal forces (at a free node
// the load applied there, at a support the load there plus the reaction),
// ne x 6 stresses (sxx, syy, szz, sxy, sxz, syz, global axes) at integration
// point 1 and at point 2 of each element.
struct ccx_step {
  fmat2 u, rf, s1, s2;
};

struct ccx_result {
  std::vector<ccx_step> steps;   // the static steps in order
  std::vector<double> factors;   // buckling factors in the order printed
  std::vector<fmat2> modes;      // nn x 3 displacements of each mode
};

// Read the .dat text of a deck with `steps` static steps and, when
// `buckling`, a buckling step, on a shell of nn nodes and ne elements.
// Every value must be finite, every node and element present once per block.
// A file that is not so is a failed check (exit_solution): the message
// names `name`, the line and what was expected there.
ccx_result read_ccx_dat(const std::string& text, const std::string& name, int nn, int ne, int steps, bool buckling);

}  // namespace domica
