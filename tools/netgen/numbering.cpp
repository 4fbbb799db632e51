#include "tools/netgen/numbering.h"

#include <algorithm>
#include <map>
#include <utility>

namespace netgen {

namespace {

// Breadth-first levels from `start` over the nodes not yet numbered: the
// nodes in visit order, the number of levels, and where the last level begins
// in the visit order.
std::vector<int> levels(int start, const std::vector<std::vector<int>>& adj, const std::vector<char>& done,
                        std::vector<int>& level, int& depth, std::size_t& last_from) {
  std::vector<int> visit{start};
  level[start] = 0;
  for (std::size_t q = 0; q < visit.size(); ++q)
    for (int v : adj[visit[q]])
      if (!done[v] && level[v] < 0) {
        level[v] = level[visit[q]] + 1;
        visit.push_back(v);
      }
  depth = level[visit.back()] + 1;
  last_from = visit.size();
  while (last_from > 0 && level[visit[last_from - 1]] == depth - 1) --last_from;
  for (int v : visit) level[v] = -1;
  return visit;
}

}  // namespace

void rcm_order(int nn, const std::vector<triangle>& triangles, std::vector<int>& order) {
  std::vector<std::vector<int>> adj(nn);
  for (const triangle& t : triangles)
    for (int a = 0; a < 3; ++a)
      for (int b = 0; b < 3; ++b)
        if (a != b) adj[t[a]].push_back(t[b]);
  for (auto& list : adj) {
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
  }
  auto by_degree = [&](int u, int v) {
    return adj[u].size() != adj[v].size() ? adj[u].size() < adj[v].size() : u < v;
  };
  order.clear();
  std::vector<int> isolated;
  std::vector<char> done(nn, 0);
  std::vector<int> level(nn, -1);
  for (int seed = 0; seed < nn; ++seed) {
    if (done[seed]) continue;
    if (adj[seed].empty()) {
      isolated.push_back(seed);
      done[seed] = 1;
      continue;
    }
    // Pseudo-peripheral start: from the part's node of least degree, move to
    // the least-degree node of the last level while that deepens the levels.
    int depth = 0;
    std::size_t last_from = 0;
    std::vector<int> part = levels(seed, adj, done, level, depth, last_from);
    int start = *std::min_element(part.begin(), part.end(), by_degree);
    part = levels(start, adj, done, level, depth, last_from);
    for (;;) {
      int far = *std::min_element(part.begin() + static_cast<long>(last_from), part.end(), by_degree);
      int far_depth = 0;
      std::size_t far_last = 0;
      std::vector<int> far_part = levels(far, adj, done, level, far_depth, far_last);
      if (far_depth <= depth) break;
      start = far;
      depth = far_depth;
      last_from = far_last;
      part = std::move(far_part);
    }
    // Cuthill-McKee from the start.
    std::size_t head = order.size();
    order.push_back(start);
    done[start] = 1;
    for (std::size_t q = head; q < order.size(); ++q) {
      std::vector<int> next;
      for (int v : adj[order[q]])
        if (!done[v]) {
          done[v] = 1;
          next.push_back(v);
        }
      std::sort(next.begin(), next.end(), by_degree);
      order.insert(order.end(), next.begin(), next.end());
    }
  }
  std::reverse(order.begin(), order.end());
  order.insert(order.end(), isolated.begin(), isolated.end());
}

void renumber(const std::vector<int>& order, net& n) {
  std::vector<int> now(order.size());
  for (std::size_t i = 0; i < order.size(); ++i) now[order[i]] = static_cast<int>(i);
  std::vector<plan_node> nodes(order.size());
  for (std::size_t i = 0; i < order.size(); ++i) nodes[i] = n.nodes[order[i]];
  n.nodes = std::move(nodes);
  for (triangle& t : n.triangles)
    for (int& c : t) c = now[c];
  std::map<std::pair<int, int>, double> fixed, loads;
  for (const fixed_coordinate& f : n.fixed) fixed[{now[f.node], f.axis}] = f.value;
  for (const point_load& l : n.loads) loads[{now[l.node], l.axis}] = l.force;
  n.fixed.clear();
  n.loads.clear();
  for (const auto& [key, value] : fixed) n.fixed.push_back({key.first, key.second, value});
  for (const auto& [key, force] : loads) n.loads.push_back({key.first, key.second, force});
}

int node_band(const std::vector<triangle>& triangles) {
  int band = 0;
  for (const triangle& t : triangles)
    band = std::max(band, std::max({t[0], t[1], t[2]}) - std::min({t[0], t[1], t[2]}));
  return band;
}

}  // namespace netgen
