// Reader of the problem file weblar.txt.
//
// Six sections, each opened by a line beginning with ':': solver parameters,
// material and loads (both differ per program), nodes, triangles, fixed
// coordinates, point loads. Every value is checked where it is read, so a bad
// file ends the run with one line naming the file, the line and the problem,
// before anything is computed or written.
#pragma once

#include <string>

#include "model/problem.h"

namespace domica {

struct text_file;

// Read the problem of program `variant` from `path` (named `name` in messages).
problem input(program variant, const std::string& path = "weblar.txt", const std::string& name = "weblar.txt");

// The same from a text already in memory.
problem input(program variant, text_file& t);

}  // namespace domica
