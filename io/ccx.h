// shell.inp: a CalculiX input deck of a surface made of the net's triangles,
// as three-node shells (S3) of one thickness and one linear elastic
// material, fixed where the net's coordinates are fixed.
//
// Two decks are made from the same routine:
//   - the found shell as the concrete shell of shell.txt (--ccx): thickness
//     and concrete of shell.txt, the supports held where the found surface
//     puts them, and one linear static step per load case, then a linear
//     buckling step (see ccx_cases below);
//   - the net's own membrane problem on any positions (the side-by-side
//     benchmark: the flat plan): the weblar.txt material with the thickness
//     divided by 100 and Young's modulus multiplied by 100 (the membrane
//     stiffness E h kept, the bending stiffness made negligible), the density
//     multiplied by 100 so the weight per area stays, the prescribed
//     displacements and point loads of weblar.txt, and a geometrically
//     nonlinear step with automatic increments, where the pressure follows
//     the shell.
//
// Loads and signs:
//   - self-weight acts in -z with the magnitude of the given acceleration
//     (shell.txt's gravity is taken as a magnitude: a negative value still
//     loads shell.inp downwards, while ansys.txt writes ACEL as given and so
//     loads its model upwards; the console warns of that);
//   - this system's pressure p pushes down on triangles whose corners run
//     anticlockwise seen from above, i.e. against the right-hand normal of
//     the corner order, while a positive CalculiX shell pressure pushes along
//     that normal: the deck carries -p.
// Numbers are written in their shortest form that reads back to the same
// double; a value that is not finite is never written.
#pragma once

#include <string>
#include <vector>

#include "model/array.h"
#include "model/problem.h"
#include "io/shell.h"

namespace domica {

// What the deck says besides the net and the positions.
struct ccx_deck {
  double thickness = 0.0;  // > 0
  double young = 0.0;      // > 0
  double poisson = 0.0;
  double density = 0.0;    // mass per volume; self-weight = density * gravity per volume
  double gravity = 0.0;    // acceleration of self-weight, acting in -z (its sign is not read)
  double pressure = 0.0;   // in this system's sense (positive pushes down on anticlockwise triangles)
  double snow = 0.0;       // found shell: snow load per unit plan area (>= 0), acting in -z
  int modes = 4;           // found shell: buckling modes asked for
  bool membrane = false;   // the net's own problem: nonlinear step, prescribed values and point loads
};

// The concrete shell of shell.txt. shell.txt's gravity is the acceleration
// of self-weight; it is written +9.81 in the examples and read here as a
// magnitude, so self-weight acts in -z whichever sign the file gives it.
// shell.txt's pressure is taken in this system's sense, as weblar.txt's.
ccx_deck shell_deck(const shell_rec& shell, double snow = 0.0);

// One load case of the found shell's deck: its name and its consistent
// nodal loads (nn x 3, global axes).
struct ccx_case {
  std::string name;
  fmat2 load;
};

// The load cases of the found shell's deck, in the order of its steps, and
// the load of its buckling step. Every load is a set of consistent nodal
// loads (*CLOAD) of the flat triangles on the found positions, so that the
// support reactions follow exactly from CalculiX's nodal forces:
//   "self-weight"  density x gravity x thickness x area, a third to each corner, -z;
//   "snow"         self-weight plus snow x the triangle's plan area (its
//                  projection on x, y), a third to each corner, -z (with snow > 0);
//   "half snow"    self-weight plus the snow on the part of each triangle
//                  where x is below the middle of the plan's extent in x,
//                  spread to the corners by their linear shape functions
//                  (with snow > 0);
//   "pressure"     shell.txt's pressure alone, over the triangle's area along
//                  its normal (where the pressure is not zero).
// The buckling step takes "snow" when there is snow, else "self-weight".
struct ccx_loads {
  std::vector<ccx_case> cases;
  int buckling = 0;  // index in cases of the buckling step's load; -1: no buckling step (no load)
};
ccx_loads ccx_cases(const net& nt, const fmat2& pos, const ccx_deck& deck);

// The net's own membrane problem (weblar.txt's material and loads), with
// the thin-shell scaling described above. weight is the weight per volume,
// so the deck's acceleration is 1.
ccx_deck membrane_deck(const material& mat, const loading& load);

// The text of the deck.
// Inputs:
//   nt    the net: nn nodes, ne triangles (corners as written), nn x 3 fixed
//         flags; with deck.membrane also nn x 3 prescribed values and point loads
//   pos   nn x 3 node positions (the found surface, or the plan with z = 0)
//   deck  material, section, loads and the kind of step
// The found shell's deck prints, in each static step, the node displacements
// and nodal forces of every node (*NODE PRINT U, RF) and the stresses at the
// two integration points through the thickness of each element (*EL PRINT
// S) to the .dat file, and in its buckling step the modes' displacements;
// the .frd file has the same.
// Returns the deck. A value that is not finite is a failed solution
// (exit_solution): nothing is written from it.
std::string ccx_text(const net& nt, const fmat2& pos, const ccx_deck& deck);

}  // namespace domica
