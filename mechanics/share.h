// How the threads of one energy evaluation share a net. The blocks of
// triangles are cut into consecutive ranges, one per part; each part computes
// its range, and a node belongs to the part whose range holds its first
// triangle. A part sums first the nodes whose triangles all lie in its range,
// then those that also have triangles in later ranges (along a cut), reading
// those forces once the later part says that it has computed them. With the
// triangles in order, those blocks lie at the start of the later range, which
// is computed first, so they are ready long before they are read; no block is
// computed twice. The chain of the energy (the load term, then the triangles
// in order) follows the ranges: part 0 carries the load term and its blocks'
// energies while it computes them, and each later part takes the chain over
// from the part before it and carries it through its own blocks' energies,
// while it sums its nodes (the last part: after).
#pragma once

#include <vector>

#include "mechanics/lanes.h"

namespace domica {

// Cuts of the blocks for `parts` parts, balanced by the measured cost of a
// block, a node, a node along a cut and a link of the chain.
// Inputs:
//   t      the lane layout (blocks, node_start, node_at)
//   nn, n  nodes and unknowns of the net
//   parts  1 or more
// Returns parts + 1 block indices, 0 = cuts[0] <= ... <= cuts[parts] = blocks.
std::vector<int> plan_cuts(const triangle_lanes& t, int nn, int n, int parts);

// The shares of the parts that compute blocks [cuts[p], cuts[p + 1]).
// Inputs: t (blocks, node_start, node_at), nn, cuts (as plan_cuts
// returns them).
// Returns cuts.size() - 1 shares: every node in the nodes or outer nodes of
// one; a share may have no nodes or blocks.
std::vector<part_share> shares_at(const triangle_lanes& t, int nn, const std::vector<int>& cuts);

// Keeping the parts balanced while the energy runs: the cost model cannot
// know how fast each core runs today (another program on its sibling, a
// slower core), so each evaluation reports when each part finished, and once
// a window of evaluations is in, every cut whose neighbouring parts finish
// apart by four blocks' time or more in the median moves toward the later
// part, and the shares are remade (a move of one block would save less over
// a window than the remaking costs). Where the parts compute any block
// changes no result.
// Inputs:
//   s       the shares (parts, cuts, the window so far)
//   t, nn   as for shares_at
//   finish  parts entries: each part's finishing time, ns from the start of the evaluation
// Returns whether it moved a cut (s.parts and s.cuts then remade).
constexpr int balance_window = 128;
bool rebalance(net_shares& s, const triangle_lanes& t, int nn, const double* finish);

}  // namespace domica
