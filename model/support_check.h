// Whether a net can carry its load at all, judged on the plan before any
// work: every connected piece of the net must be held against its six
// rigid-body motions, no load may act on a node that no triangle holds, and
// a pressure needs every triangle's corners to run the same way round.
#pragma once

#include <string>
#include <vector>

#include "model/problem.h"

namespace domica {

// Check the supports, loads and triangle orientation of a problem.
// Inputs:
//   p  the problem as read (nt: xo, yo, tri, fixed, point; load.pressure)
// Outputs:
//   returns  warning lines, one per kind of finding that leaves the result
//            meaningful: nodes in no triangle, point loads on fixed
//            coordinates, mixed corner order without a pressure
// A piece that can move as a rigid body (three translations and three
// rotations, judged on the plan positions), a load on a free coordinate of a
// node in no triangle, or mixed corner order under a pressure is an input
// failure naming the piece (its lowest node), the node or the triangle.
std::vector<std::string> check_supports(const problem& p);

// How the messages name the source and count nodes and triangles: weblar.txt's
// numbers from 1 by default; a caller with 0-based arrays names its own.
struct support_wording {
  std::string source = "weblar.txt: ";  // put before every failure's message
  int first = 1;                        // the number of node 1 and of triangle 1
  std::string element = "element";      // what a triangle is called
};
std::vector<std::string> check_supports(const problem& p, const support_wording& w);

}  // namespace domica
