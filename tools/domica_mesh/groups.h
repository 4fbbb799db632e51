// Supports and point loads from the names of a plan's point and curve groups.
#pragma once

#include <string>
#include <vector>

#include "tools/domica_mesh/plan.h"

namespace domica_mesh {

// What a group's name asks for. Names are read case-insensitively with blanks
// in any number: "fixed" (x, y and z), "fixed" followed by axes ("fixed z",
// "fixed x y"), "height VALUE" (x, y and z fixed, z prescribed at VALUE: a
// support at that height, "height 1.2"), or "load AXIS VALUE" ("load z -5").
struct group_action {
  bool load = false;
  bool height = false;    // z prescribed at value
  std::vector<int> axes;  // 1 x, 2 y, 3 z
  double value = 0.0;     // the load along the single axis, or the height
};

// Reads a group name; false when it is none of the forms above.
bool parse_group_name(const std::string& name, group_action& a);

// Adds the fixed coordinates and point loads of every group of p to p.n, in
// the order of the groups. A group with an unknown name, with no nodes, or
// with a node on none of the net's triangles is a tool_error naming the file
// and the group; so is a height group for program 2 (domica_2 reads no
// prescribed values: its fixed coordinates stay at the plan).
void apply_groups(const std::string& file, plan& p, int program = 3);

}  // namespace domica_mesh
