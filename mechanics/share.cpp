#include "mechanics/share.h"

#include <algorithm>
#include <cstdlib>

namespace domica {

namespace {

// Costs in processor clock ticks, measured on two cores: a block of eight
// triangles, the displacements and force sums of a node, what a node along a
// cut costs besides (its forces from a later part come from the other core's
// cache), and one link of the chain (an addition takes about 1.5 ticks):
// part 0's links, among its blocks, are mostly not hidden; the last part's
// come after its sums; the links of a part between, spread over its sums once
// the chain reaches it, are mostly hidden. The figures balanced the parts
// best; they place the first cuts, which rebalance then moves to what the
// cores actually do.
constexpr double block_cost = 150, node_cost = 18, outer_cost = 20, first_link = 1.25, middle_link = 0.5, last_link = 1.5;

// The nodes grouped by the block of their first triangle, with the block of
// their last.
struct node_blocks {
  int n = 0, ne = 0, parts = 1;
  std::vector<int> start, node, last;  // nodes of block b: node[start[b] .. start[b + 1] - 1], ascending; last block of each
  std::vector<int> loose;              // nodes in no triangle (part 0 sums them)

  double cost(int part, int lo, int hi) const {
    int nodes = part == 0 ? static_cast<int>(loose.size()) : 0, outer = 0;
    for (int at = start[static_cast<std::size_t>(lo)]; at < start[static_cast<std::size_t>(hi)]; ++at) {
      ++nodes;
      outer += last[static_cast<std::size_t>(at)] >= hi;
    }
    const int links = std::min(ne, hi * lanes) - std::min(ne, lo * lanes) + (part == 0 ? n : 0);
    const double link_cost = part == 0 ? first_link : part == parts - 1 ? last_link : middle_link;
    return block_cost * (hi - lo) + node_cost * nodes + outer_cost * outer + link_cost * links;
  }
};

int block_of(int position) { return static_cast<int>(static_cast<unsigned>(position) / (9 * lanes)); }

node_blocks group(const triangle_lanes& t, int nn, int n, int parts) {
  node_blocks g;
  g.parts = parts;
  g.n = n;
  g.ne = static_cast<int>(t.node_at.size()) / 3;
  g.start.assign(static_cast<std::size_t>(t.blocks) + 1, 0);
  for (int glob = 1; glob <= nn; ++glob) {
    const int k = t.node_start[static_cast<std::size_t>(glob - 1)];
    if (k == t.node_start[static_cast<std::size_t>(glob)]) g.loose.push_back(glob);
    else ++g.start[static_cast<std::size_t>(block_of(t.node_at[static_cast<std::size_t>(k)])) + 1];
  }
  for (int b = 0; b < t.blocks; ++b) g.start[static_cast<std::size_t>(b) + 1] += g.start[static_cast<std::size_t>(b)];
  g.node.assign(static_cast<std::size_t>(g.start[static_cast<std::size_t>(t.blocks)]), 0);
  g.last.assign(g.node.size(), 0);
  std::vector<int> next(g.start.begin(), g.start.end() - 1);
  for (int glob = 1; glob <= nn; ++glob) {
    const int k = t.node_start[static_cast<std::size_t>(glob - 1)], end = t.node_start[static_cast<std::size_t>(glob)];
    if (k == end) continue;
    const std::size_t at = static_cast<std::size_t>(next[static_cast<std::size_t>(block_of(t.node_at[static_cast<std::size_t>(k)]))]++);
    g.node[at] = glob;
    g.last[at] = block_of(t.node_at[static_cast<std::size_t>(end - 1)]);
  }
  return g;
}

// Add k to the ranges [r[2i], r[2i + 1]), ascending; k at least the last.
inline void extend(std::vector<int>& r, int k) {
  if (!r.empty() && r.back() == k) r.back() = k + 1;
  else {
    r.push_back(k);
    r.push_back(k + 1);
  }
}

// The cut between parts p - 1 and p minimising the dearer of the two, the
// other cuts held; coarse to fine.
void balance(const node_blocks& g, int p, std::vector<int>& cut) {
  const int lo = cut[static_cast<std::size_t>(p - 1)], hi = cut[static_cast<std::size_t>(p + 1)];
  double best = -1;
  int best_cut = cut[static_cast<std::size_t>(p)];
  int from = lo, to = hi;
  for (;;) {
    const int step = std::max(1, (to - from) / 16);
    for (int c = from; c <= to; c += step) {
      double worse = std::max(g.cost(p - 1, lo, c), g.cost(p, c, hi));
      if (best < 0 || worse < best) {
        best = worse;
        best_cut = c;
      }
    }
    if (step == 1) break;
    from = std::max(lo, best_cut - step);
    to = std::min(hi, best_cut + step);
  }
  cut[static_cast<std::size_t>(p)] = best_cut;
}

}  // namespace

std::vector<int> plan_cuts(const triangle_lanes& t, int nn, int n, int parts) {
  const int B = t.blocks;
  const node_blocks g = group(t, nn, n, parts);
  std::vector<int> cut;
  for (int p = 0; p <= parts; ++p) cut.push_back(static_cast<int>(static_cast<long>(B) * p / parts));
  for (int sweep = 0; sweep < (parts > 2 ? 3 : 1); ++sweep)
    for (int p = 1; p < parts; ++p) balance(g, p, cut);
  return cut;
}

std::vector<part_share> shares_at(const triangle_lanes& t, int nn, const std::vector<int>& cut) {
  const int B = t.blocks, parts = static_cast<int>(cut.size()) - 1;
  std::vector<part_share> out(static_cast<std::size_t>(parts));
  std::vector<int> owner(static_cast<std::size_t>(B));
  for (int p = 0; p < parts; ++p) {
    part_share& s = out[static_cast<std::size_t>(p)];
    s.first = s.lent = cut[static_cast<std::size_t>(p)];
    s.last = cut[static_cast<std::size_t>(p + 1)];
    std::fill(owner.begin() + s.first, owner.begin() + s.last, p);
  }
  // One pass over the nodes, in ascending order, so that every list comes
  // out ascending: which parts read the node's displacements (those whose
  // blocks hold one of its triangles), the part that sums it (its first
  // triangle's) and whether it waits for later parts (its last triangle's).
  std::vector<int> readers;  // the parts that read one node, ascending
  for (int glob = 1; glob <= nn; ++glob) {
    const int* at = t.node_at.data() + t.node_start[static_cast<std::size_t>(glob - 1)];
    const int* end = t.node_at.data() + t.node_start[static_cast<std::size_t>(glob)];
    // A node's triangles are in ascending order, so their parts are too.
    readers.clear();
    for (const int* k = at; k < end; ++k) {
      const int q = owner[static_cast<std::size_t>(block_of(*k))];
      if (readers.empty() || readers.back() != q) readers.push_back(q);
    }
    // The lanes after the last triangle read node 1; their results are never used.
    if (glob == 1 && static_cast<int>(t.node_at.size()) / 3 < B * lanes) {
      const int q = owner[static_cast<std::size_t>(B - 1)];
      if (readers.empty() || readers.back() != q) readers.push_back(q);
    }
    for (int q : readers) extend(out[static_cast<std::size_t>(q)].u_nodes, glob);
    if (at == end) {
      extend(out[0].nodes, glob);  // in no triangle: part 0 sums it
      continue;
    }
    const int p = owner[static_cast<std::size_t>(block_of(*at))];
    part_share& s = out[static_cast<std::size_t>(p)];
    if (block_of(end[-1]) < s.last) {
      extend(s.nodes, glob);
      continue;
    }
    extend(s.outer, glob);
    for (const int* k = at; k < end; ++k) {
      const int b = block_of(*k);
      if (b < s.last) continue;
      const int q = owner[static_cast<std::size_t>(b)];
      if (std::find(s.waits.begin(), s.waits.end(), q) == s.waits.end()) s.waits.push_back(q);
      out[static_cast<std::size_t>(q)].lent = std::max(out[static_cast<std::size_t>(q)].lent, b + 1);
    }
  }
  for (part_share& s : out) std::sort(s.waits.begin(), s.waits.end());
  return out;
}

bool rebalance(net_shares& s, const triangle_lanes& t, int nn, const double* finish) {
  const std::size_t parts = s.parts.size();
  if (parts < 2 || s.cuts.size() != parts + 1) return false;
  s.finish.insert(s.finish.end(), finish, finish + parts);
  if (s.finish.size() < balance_window * parts) return false;
  std::vector<int> cuts = s.cuts;
  std::vector<double> lag(balance_window), pace(balance_window);
  for (std::size_t p = 1; p < parts; ++p) {
    const int lo = s.cuts[p - 1], hi = s.cuts[p + 1];
    if (hi - lo < 2) continue;
    for (std::size_t k = 0; k < balance_window; ++k) {
      const double before = s.finish[k * parts + p - 1], after = s.finish[k * parts + p];
      lag[k] = after - before;
      pace[k] = 2 * std::max(before, after) / (hi - lo);  // a block's time, its nodes and links included
    }
    std::nth_element(lag.begin(), lag.begin() + balance_window / 2, lag.end());
    std::nth_element(pace.begin(), pace.begin() + balance_window / 2, pace.end());
    // Moving a block from the later part to the earlier narrows the gap by
    // two blocks' time; at most an eighth of the two parts' blocks at once.
    const double each = pace[balance_window / 2];
    if (!(each > 0)) continue;
    const double blocks = lag[balance_window / 2] / (2 * each);
    const int most = std::max(1, (hi - lo) / 8);
    int move = static_cast<int>(std::clamp(blocks, -static_cast<double>(most), static_cast<double>(most)));
    // A move of one block saves at most a block's time a call: over a window
    // that is less than remaking the shares costs.
    if (std::abs(move) < 2) move = 0;
    cuts[p] = std::clamp(s.cuts[p] + move, cuts[p - 1], hi);  // after the cut before, moved or not
  }
  s.finish.clear();
  if (cuts == s.cuts) return false;
  s.cuts = cuts;
  s.parts = shares_at(t, nn, cuts);
  return true;
}

}  // namespace domica
