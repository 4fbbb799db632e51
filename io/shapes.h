// The found surface for CAD and mesh programs:
//   shell.dxf  ASCII DXF (the R12 subset every reader takes): a HEADER with
//              $ACADVER, an ENTITIES section of one 3DFACE per triangle on
//              layer "SHELL" (the fourth corner repeats the third, as DXF
//              writes a triangle), EOF;
//   shell.obj  Wavefront OBJ: a comment, one "v x y z" line per node in node
//              order, one "f a b c" line per triangle (1-based node numbers,
//              corners in the order of the input).
// Numbers are written in their shortest form that reads back to the same
// double.
#pragma once

#include <string>

#include "model/problem.h"
#include "model/surface.h"

namespace domica {

// Inputs:
//   nt  the net: nn nodes, ne triangles (corner node numbers)
//   sf  the found surface: nn x 3 positions
// Returns the file's text. A position that is not finite is a failed
// solution (exit_solution): nothing is written from it.
std::string dxf_text(const net& nt, const surface& sf);
std::string obj_text(const net& nt, const surface& sf);

}  // namespace domica
