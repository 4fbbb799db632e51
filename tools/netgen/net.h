// The net a generator builds before it is written as weblar.txt: plan nodes,
// triangles, fixed coordinates and point loads. Node numbers are 0-based here
// and become 1-based in the file.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace netgen {

struct plan_node {
  double x, y;
};

// Corners anticlockwise seen from above.
using triangle = std::array<int, 3>;

struct fixed_coordinate {
  int node;     // 0-based
  int axis;     // 1 x, 2 y, 3 z
  double value; // prescribed displacement
};

struct point_load {
  int node;     // 0-based
  int axis;     // 1 x, 2 y, 3 z
  double force;
};

struct net {
  std::string title;                   // first line of the file
  std::vector<plan_node> nodes;        // #nodes
  std::vector<triangle> triangles;     // #triangles
  std::vector<fixed_coordinate> fixed; // in any order; a later record of a coordinate replaces an earlier one
  std::vector<point_load> loads;       // likewise
};

// A failure of a tool: the message (without the tool's name) and whether the
// usage text should follow it. Every such failure ends the tool with status 2.
struct tool_error {
  std::string message;
  bool usage = false;
};

}  // namespace netgen
