// Reader of the problem file weblar.txt.
//
// Six sections, each opened by a line beginning with ':': solver parameters,
// material and loads (both differ per program), nodes, triangles, fixed
// coordinates, point loads. Every value is checked where it is read, so a bad
// file ends the run with one line naming the file, the line and the problem,
// before anything is computed or written.
#pragma once

#include <string>

#include "common/problem.h"

namespace domica {

struct text_file;

// Read the problem of program `variant` from `path` (named `name` in messages).
problem input(program variant, const std::string& path = "weblar.txt", const std::string& name = "weblar.txt");

// The same from a text already in memory.
problem input(program variant, text_file& t);

// Twice the signed plan area of the triangle with the given plan corners;
// positive when the corners run anticlockwise seen from above.
inline double plan_aux(double x1, double y1, double x2, double y2, double x3, double y3) {
  return (x2 - x1) * (y3 - y1) - (y2 - y1) * (x3 - x1);
}

}  // namespace domica
