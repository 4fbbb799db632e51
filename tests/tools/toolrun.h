// Running a tool with arguments as a user would, and measures of a net read
// back through the programs' reader.
#pragma once

#include <string>

#include "model/problem.h"
#include "tests/testutil.h"

namespace test {

// Runs `exe args` in folder dir (args as typed in a shell).
run_result run_tool(const std::string& exe, const std::string& args, const std::string& dir);

// The first line of a text.
std::string first_line(const std::string& text);

// Sum of the signed plan areas of the triangles and the smallest one (for
// anticlockwise corners the areas are positive).
struct net_areas {
  double total = 0.0, smallest = 0.0;
};
net_areas areas(const domica::problem& m);

// Largest difference of node numbers over the corners of each triangle.
int node_band(const domica::problem& m);

}  // namespace test
