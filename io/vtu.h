// shell.vtu: the found surface as a VTK XML unstructured grid (ASCII), for
// ParaView and other VTK readers.
//
// Points are the found node positions, cells the triangles (VTK type 5,
// corners in the order of the input, 0-based). Point data: "displacement"
// (found minus plan position, 3), "fixed" (1 where a coordinate is
// prescribed, 3, Int32), "point_load" (3), "n1" and "n2" (node membrane
// forces). Cell data: "n11", "n22", "n12" (in the triangle's u, v frame),
// "n1", "n2", "n1_direction" (3, global axes), "area_ratio" and "tension"
// (1 where n1 is a tension above the noise of the forces, UInt8). Numbers are
// written in their shortest form that reads back to the same double.
#pragma once

#include <string>
#include <vector>

#include "model/problem.h"
#include "model/surface.h"
#include "mechanics/forces.h"

namespace domica {

// More point data of three components (with --check: each load case's
// displacement by CalculiX and the first buckling mode).
struct point_field {
  std::string name;
  fmat2 value;  // nn x 3
};

// The text of shell.vtu.
// Inputs:
//   nt  the net: nn plan nodes, ne triangles, nn x 3 fixed flags and point loads
//   sf  the found surface: nn x 3 positions
//   f   ne triangle and nn x 2 node forces
//   extra  more point data, written after the others
// Returns the file's text. A value that is not finite is a failed solution
// (exit_solution): nothing is written from it.
std::string vtu_text(const net& nt, const surface& sf, const membrane_forces& f, const std::vector<point_field>& extra = {});

}  // namespace domica
