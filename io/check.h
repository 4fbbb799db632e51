// check.json: what CalculiX found of the found shell as the concrete shell of
// shell.txt (--check): one entry per load case and the buckling factors.
//
//   {"cases": [{"name": "self-weight", "max_displacement": ..., "max_displacement_node": ...,
//               "min_principal_stress": ..., "min_principal_at": {"element": ..., "face": "bottom"},
//               "max_principal_stress": ..., "max_principal_at": {...},
//               "reaction": [Rx, Ry, Rz]}, ...],
//    "buckling_factors": [...], "buckling_load": "self-weight + snow",
//    "snow": S, "left_out": [...]}
//
// Stresses are principal stresses on the bottom, middle and top faces of
// each element (top: the side the right-hand normal of the corner order
// points to), negative in compression; the reaction is the sum over the
// supports of what they exert on the shell. Numbers in their shortest form
// that reads back to the same double; a value that is not finite is never
// written.
#pragma once

#include <string>
#include <vector>

#include "io/ccx.h"
#include "io/ccx_dat.h"
#include "model/problem.h"

namespace domica {

struct check_case {
  std::string name;
  double max_displacement = 0.0;
  int max_displacement_node = 0;
  double min_principal = 0.0, max_principal = 0.0;
  int min_element = 0, max_element = 0;
  const char* min_face = "middle";
  const char* max_face = "middle";
  double min_centre[3] = {0.0, 0.0, 0.0}, max_centre[3] = {0.0, 0.0, 0.0};  // the elements' centroids
  double reaction[3] = {0.0, 0.0, 0.0};
};

struct check_record {
  std::vector<check_case> cases;
  std::vector<double> factors;    // ascending
  std::vector<std::string> left_out;  // loads of shell.txt not in the deck, in words
  std::string buckling_load;      // the case the factors multiply
  double snow = 0.0;
};

// The figures of each load case from CalculiX's results.
// Inputs:
//   nt     the net: nn nodes, ne triangles, nn x 3 fixed flags
//   pos    nn x 3 positions of the deck's nodes (the found surface)
//   loads  the deck's load cases (nn x 3 nodal loads each) and its buckling load
//   res    the .dat's results: one step per case, factors and modes
// Returns the record: the largest displacement, the extreme principal
// stresses over the faces of all elements (faces extrapolated linearly
// through the thickness from the two integration points, at +-1/sqrt(3) of
// the half thickness), the reaction summed over the fixed coordinates as
// CalculiX's nodal force there less the load applied there, and the buckling
// factors sorted ascending.
check_record check_figures(const net& nt, const fmat2& pos, const ccx_loads& loads, const ccx_result& res);

// The principal stresses, ascending, of the symmetric stress
// (sxx, syy, szz, sxy, sxz, syz) by the closed form of O. K. Smith,
// "Eigenvalues of a symmetric 3 x 3 matrix", Comm. ACM 4(4), 168 (1961).
void principal_stresses(const double (&s)[6], double (&p)[3]);

// A linear buckling factor below this is called low: the buckling load of a
// real concrete shell is commonly a fifth to a half of the linear one
// (imperfections, creep, cracking), so a designer wants the linear factor
// to be 5 at the least before any knock-down factor is applied.
const double low_buckling_factor = 5.0;

// The designer's lines of the check for the console: each case's worst
// compression and tension with where, largest displacement and total
// reaction, the lowest buckling factor (with "LOW" below
// low_buckling_factor) and the loads left out.
std::string check_text(const check_record& c);

// The text of check.json. A value that is not finite is a failed check
// (exit_solution): nothing is written from it.
std::string check_json(const check_record& c);

}  // namespace domica
