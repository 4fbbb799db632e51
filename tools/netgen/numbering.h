// Node numbering of a net: reverse Cuthill-McKee for a small band of the
// tangent, renumbering, and the band of a numbering.
#pragma once

#include <vector>

#include "tools/netgen/net.h"

namespace netgen {

// Reverse Cuthill-McKee order of the nodes (George and Liu, Computer Solution
// of Large Sparse Positive Definite Systems, 1981, ch. 4): each connected part
// from a pseudo-peripheral start, neighbours taken by ascending degree, ties
// by number, and the whole order reversed. Nodes on no triangle come last.
// Inputs:
//   nn         number of nodes
//   triangles  #triangles corners (0-based)
// Outputs:
//   order      #nn  order[new] = old node number
void rcm_order(int nn, const std::vector<triangle>& triangles, std::vector<int>& order);

// Renumbers the nodes of n so that new node i is old node order[i]; fixed
// coordinates and point loads are then sorted by node and axis, a later
// record of the same coordinate replacing an earlier one.
// Inputs:
//   order  #nodes  a permutation, order[new] = old
// Outputs:
//   n      renumbered in place
void renumber(const std::vector<int>& order, net& n);

// Largest difference of node numbers over the corners of each triangle; the
// tangent's band in unknowns is 3 times this plus 2.
int node_band(const std::vector<triangle>& triangles);

}  // namespace netgen
