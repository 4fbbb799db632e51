// Reader of the problem file weblar.txt.
//
// Six sections, each opened by a line beginning with ':': solver parameters,
// material and loads (both differ per program), nodes, triangles, fixed
// coordinates, point loads. Every value is checked where it is read, so a bad
// file ends the run with one line naming the file, the line and the problem,
// before anything is computed or written.
#pragma once

#include <string>

#include "common/model.h"

namespace domica {

// Read the problem for the program m.variant from `path` (named `name` in
// messages) into m: parameters, material, nn, ne, xo, yo, cst(e).glob, known
// and index (0/1 form), and the point loads into ff (domica_3) or maxforce.
void input(model& m, const std::string& path = "weblar.txt", const std::string& name = "weblar.txt");

// The same from a text already in memory.
struct text_file;
void input(model& m, text_file& t);

// Twice the signed plan area of the triangle with the given plan corners;
// positive when the corners run anticlockwise seen from above.
inline double plan_aux(double x1, double y1, double x2, double y2, double x3, double y3) {
  return (x2 - x1) * (y3 - y1) - (y2 - y1) * (x3 - x1);
}

}  // namespace domica
