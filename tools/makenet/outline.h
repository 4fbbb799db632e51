// A net on a plan given by its outline: a list of boundary points.
#pragma once

#include <string>
#include <vector>

#include "tools/makenet/plans.h"

namespace makenet {

// Reads the outline points from a text file of "x y" lines (blank lines and
// lines starting with '#' are skipped; a last point equal to the first is
// dropped). Fewer than 3 points, a malformed line, a repeated point, or
// sides that cross are tool_errors naming the file and line.
// Outputs:
//   points  #points outline in the file's order
void read_outline(const std::string& path, std::vector<netgen::plan_node>& points);

// Triangulates the outline (points in either turning sense) by clipping ears,
// the best-shaped ear first, then splits every triangle into divisions^2
// similar ones sharing the nodes along common sides.
// Inputs:
//   points     #points outline (simple polygon)
//   divisions  >= 1
// Outputs:
//   p          net with anticlockwise triangles; edge: nodes on the outline;
//              corners: the outline points; centre: node nearest the centroid
void outline_plan(const std::vector<netgen::plan_node>& points, int divisions, plan& p);

}  // namespace makenet
