// How the threads of one energy evaluation share a net. The blocks of
// triangles are cut into consecutive ranges, one per part; each part computes
// its range, and a node belongs to the part whose range holds its first
// triangle. A part sums first the nodes whose triangles all lie in its range,
// then those that also have triangles in later ranges (along a cut), reading
// those forces once the later part says that it has computed them. With the
// triangles in order, those blocks lie at the start of the later range, which
// is computed first, so they are ready long before they are read; no block is
// computed twice. The
// chain of the energy (the load term, then the triangles in order) follows
// the ranges: part 0 carries the load term and its blocks' energies while it
// computes them, and each later part takes the chain over from the part
// before it and carries it through its own blocks' energies, while it sums its
// nodes (the last part: after).
#pragma once

#include <vector>

#include "membrane/lanes.h"

namespace domica {

// The shares (part_share, membrane/lanes.h) of `parts` parts, balanced by the
// measured cost of a block, a node, a node along a cut and a link of the
// chain.
// Inputs:
//   t      the lane layout (blocks, corner, node_start, node_at)
//   nn, n  nodes and unknowns of the net
//   parts  1 or more
// Returns `parts` shares: every node in the nodes or outer nodes of one, the
// ranges [first, last) covering 0..blocks in order; a share may have no nodes
// or blocks.
std::vector<part_share> share_out(const triangle_lanes& t, int nn, int n, int parts);

}  // namespace domica
