// ANSYS model of the found shell: a layer of SOLID65 wedges between an inner
// and an outer copy of the mid-surface, concrete and steel data from
// shell.txt, one reinforcement set per element along its in-plane axes,
// supports, loads and a static solution.
#pragma once

#include <string>

#include "model/problem.h"
#include "io/shell.h"
#include "model/surface.h"

namespace domica {

// Reinforcement angles in degrees of a unit axis: theta from the arctangent of
// its horizontal components (0 when both vanish), phi from the arcsine of its
// vertical component (clamped to -1..1 against rounding).
double theta_of(const fvec3x1& axis);
double phi_of(const fvec3x1& axis);

// The whole text of ansys.txt. A number of it that is not finite (a node of
// the inner or outer face beyond the range of double precision) is a
// solution failure, raised before anything is written.
// Inputs:
//   nt     the net (triangles, fixed coordinates: nt.fixed)
//   sf     the found surface (positions, frames, node normals)
//   shell  shell.txt
std::string ansys_text(const net& nt, const surface& sf, const shell_rec& shell);

// Write ansys.txt (whole or not at all).
void ansys(const net& nt, const surface& sf, const shell_rec& shell, const std::string& path = "ansys.txt");

}  // namespace domica
