// How the threads of one energy evaluation share a net. The blocks of
// triangles are cut into consecutive ranges, one per part; a node belongs to
// the part whose range holds its first triangle. Each part sums the forces of
// its nodes, and computes its own blocks and every later block that holds a
// triangle of one of its nodes, so that it reads only forces it wrote itself:
// only the blocks along a cut are computed twice, whatever the numbering of
// the nodes. The chain of the energy (the load term, then the triangles in
// order) follows the ranges: part 0 carries the load term and its blocks'
// energies while it computes them, and each later part takes the chain over
// from the part before it and carries it through its own blocks' energies,
// while it sums its nodes (the last part: after).
#pragma once

#include <vector>

#include "membrane/lanes.h"

namespace domica {

// The shares (part_share, membrane/lanes.h) of `parts` parts, balanced by the
// measured cost of a block, a node and a link of the chain.
// Inputs:
//   t      the lane layout (blocks, corner, node_start, node_at)
//   nn, n  nodes and unknowns of the net
//   parts  1 or more
// Returns `parts` shares: every node in the nodes of one, chain ranges
// covering 0..blocks in order; a share may have no nodes or blocks.
std::vector<part_share> share_out(const triangle_lanes& t, int nn, int n, int parts);

}  // namespace domica
