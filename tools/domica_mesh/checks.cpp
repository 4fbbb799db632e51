#include "tools/domica_mesh/checks.h"

#include <gmsh.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "tools/netgen/net.h"
#include "tools/netgen/weblar.h"

namespace domica_mesh {

namespace {

[[noreturn]] void refuse(const std::string& message) { throw netgen::tool_error{message, false}; }

struct box {
  double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
  double w() const { return x1 > x0 ? x1 - x0 : 0.0; }
  double h() const { return y1 > y0 ? y1 - y0 : 0.0; }
};

box bounds(const std::vector<int>& surfaces) {
  box b;
  for (int s : surfaces) {
    double x0, y0, z0, x1, y1, z1;
    gmsh::model::getBoundingBox(2, s, x0, y0, z0, x1, y1, z1);
    b.x0 = std::min(b.x0, x0), b.y0 = std::min(b.y0, y0);
    b.x1 = std::max(b.x1, x1), b.y1 = std::max(b.y1, y1);
  }
  return b;
}

std::string number(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.3g", v);
  return buf;
}

const std::string limit_text = "more than the " + number(most_nodes) + " nodes a net may have";

std::vector<int> boundary_curves(int surface) {
  gmsh::vectorpair curves;
  gmsh::model::getBoundary({{2, surface}}, curves, false, false, false);
  std::vector<int> tags;
  for (const auto& [dim, tag] : curves) tags.push_back(std::abs(tag));
  return tags;
}

// The 2-node segments of curve c, as Gmsh node tags.
std::vector<std::pair<std::size_t, std::size_t>> segments(int c) {
  std::vector<int> types;
  std::vector<std::vector<std::size_t>> tags, nodes;
  gmsh::model::mesh::getElements(types, tags, nodes, 1, c);
  std::vector<std::pair<std::size_t, std::size_t>> out;
  for (std::size_t k = 0; k < types.size(); ++k)
    if (types[k] == 1)
      for (std::size_t e = 0; e < tags[k].size(); ++e) out.push_back({nodes[k][2 * e], nodes[k][2 * e + 1]});
  return out;
}

// Every node of the model's mesh: 3 coordinates each, and the index of each
// node tag among them.
struct mesh_nodes {
  std::vector<double> xyz;
  std::map<std::size_t, std::size_t> where;
};

mesh_nodes all_nodes() {
  mesh_nodes m;
  std::vector<std::size_t> tags;
  std::vector<double> parametric;
  gmsh::model::mesh::getNodes(tags, m.xyz, parametric, -1, -1, false, false);
  for (std::size_t i = 0; i < tags.size(); ++i) m.where[tags[i]] = i;
  return m;
}

}  // namespace

void check_size_budget(const std::string& file, const std::vector<int>& surfaces, double size) {
  box b = bounds(surfaces);
  double estimate = 2.0 * b.w() * b.h() / (std::sqrt(3.0) * size * size) + 2.0 * (b.w() + b.h()) / size;
  if (!(estimate <= most_nodes))
    refuse(file + ": size=" + netgen::shortest(size) + " would give about " + number(estimate) + " nodes on a plan of " +
           netgen::shortest(b.w()) + " x " + netgen::shortest(b.h()) + ", " + limit_text);
}

double smallest_size(const std::vector<int>& surfaces) {
  box b = bounds(surfaces);
  return std::hypot(b.w(), b.h()) / most_nodes;
}

void check_curve_budget(const std::string& file, const std::vector<int>& surfaces) {
  const mesh_nodes nodes = all_nodes();
  const std::vector<double>& xyz = nodes.xyz;
  const std::map<std::size_t, std::size_t>& where = nodes.where;
  std::set<int> curves;
  for (int s : surfaces)
    for (int c : boundary_curves(s)) curves.insert(c);
  double length = 0.0, count = 0.0;
  for (int c : curves)
    for (const auto& [a, b] : segments(c)) {
      auto i = where.find(a), j = where.find(b);
      if (i == where.end() || j == where.end()) continue;
      length += std::hypot(xyz[3 * j->second] - xyz[3 * i->second], xyz[3 * j->second + 1] - xyz[3 * i->second + 1]);
      count += 1.0;
    }
  if (count == 0.0) return;
  box b = bounds(surfaces);
  double h = length / count;
  double estimate = h > 0 ? 2.0 * b.w() * b.h() / (std::sqrt(3.0) * h * h) + count : INFINITY;
  if (!(estimate <= most_nodes))
    refuse(file + ": the plan's mesh sizes (about " + number(h) + " along its curves) would give about " + number(estimate) +
           " nodes on a plan of " + netgen::shortest(b.w()) + " x " + netgen::shortest(b.h()) + ", " + limit_text +
           "; give a larger size=");
}

void check_crossings(const std::string& file, const std::vector<int>& surfaces) {
  const mesh_nodes nodes = all_nodes();
  const std::vector<double>& xyz = nodes.xyz;
  const std::map<std::size_t, std::size_t>& where = nodes.where;
  struct seg {
    int curve;
    std::size_t a, b;
    double x0, y0, x1, y1;
  };
  for (int s : surfaces) {
    std::vector<seg> all;
    double length = 0.0;
    for (int c : boundary_curves(s))
      for (const auto& [a, b] : segments(c)) {
        auto i = where.find(a), j = where.find(b);
        if (i == where.end() || j == where.end()) continue;
        seg g{c, a, b, xyz[3 * i->second], xyz[3 * i->second + 1], xyz[3 * j->second], xyz[3 * j->second + 1]};
        length += std::hypot(g.x1 - g.x0, g.y1 - g.y0);
        all.push_back(g);
      }
    if (all.size() < 2 || !(length > 0)) continue;
    // Segments in square cells of about their mean length; pairs met in a cell are tested.
    double cell = length / static_cast<double>(all.size());
    std::map<std::pair<long long, long long>, std::vector<std::size_t>> grid;
    for (std::size_t k = 0; k < all.size(); ++k) {
      const seg& g = all[k];
      long long i0 = static_cast<long long>(std::floor(std::min(g.x0, g.x1) / cell)), i1 = static_cast<long long>(std::floor(std::max(g.x0, g.x1) / cell));
      long long j0 = static_cast<long long>(std::floor(std::min(g.y0, g.y1) / cell)), j1 = static_cast<long long>(std::floor(std::max(g.y0, g.y1) / cell));
      for (long long i = i0; i <= i1 && i <= i0 + 4; ++i)
        for (long long j = j0; j <= j1 && j <= j0 + 4; ++j) grid[{i, j}].push_back(k);
    }
    auto side = [](double ax, double ay, double bx, double by, double px, double py) {
      double d = (bx - ax) * (py - ay) - (by - ay) * (px - ax);
      return (d > 0) - (d < 0);
    };
    for (const auto& [key, list] : grid)
      for (std::size_t u = 0; u < list.size(); ++u)
        for (std::size_t v = u + 1; v < list.size(); ++v) {
          const seg &p = all[list[u]], &q = all[list[v]];
          if (p.curve == q.curve || p.a == q.a || p.a == q.b || p.b == q.a || p.b == q.b) continue;
          if (side(p.x0, p.y0, p.x1, p.y1, q.x0, q.y0) * side(p.x0, p.y0, p.x1, p.y1, q.x1, q.y1) < 0 &&
              side(q.x0, q.y0, q.x1, q.y1, p.x0, p.y0) * side(q.x0, q.y0, q.x1, q.y1, p.x1, p.y1) < 0)
            refuse(file + ": curves " + std::to_string(std::min(p.curve, q.curve)) + " and " +
                   std::to_string(std::max(p.curve, q.curve)) + " of surface " + std::to_string(s) +
                   " cross near (" + number(p.x0) + ", " + number(p.y0) +
                   "): a hole crossing the outer loop, or loops that overlap");
        }
  }
}

void check_boundaries(const std::string& file, const std::vector<int>& surfaces,
                      const std::vector<mesh_triangle>& triangles) {
  std::map<int, std::set<std::pair<std::size_t, std::size_t>>> edges;  // surface -> its triangles' edges
  for (const mesh_triangle& t : triangles)
    for (int k = 0; k < 3; ++k) {
      std::size_t a = t.nodes[k], b = t.nodes[(k + 1) % 3];
      edges[t.surface].insert({std::min(a, b), std::max(a, b)});
    }
  for (int s : surfaces) {
    const auto& own = edges[s];
    for (int c : boundary_curves(s))
      for (const auto& [a, b] : segments(c))
        if (!own.count({std::min(a, b), std::max(a, b)}))
          refuse(file + ": curve " + std::to_string(c) + " bounds surface " + std::to_string(s) +
                 " but no triangle of the surface lies along it: a hole outside the surface's outer loop, or one "
                 "crossing it");
  }
}

void check_layers(const std::string& file, const std::vector<std::array<int, 3>>& net,
                  const std::vector<mesh_triangle>& triangles) {
  // Anticlockwise neighbours run their common edge opposite ways; a third
  // triangle on an edge runs it as one of the two does.
  std::map<std::pair<int, int>, std::size_t> run;  // directed edge -> triangle
  auto over = [&](std::size_t e, std::size_t f) {
    const mesh_triangle &a = triangles[e], &b = triangles[f];
    refuse(file + ": triangle elements " + std::to_string(a.element) + " (surface " + std::to_string(a.surface) +
           ") and " + std::to_string(b.element) + " (surface " + std::to_string(b.surface) +
           ") lie over each other: the net would cover the plan twice (two surfaces on one loop?)");
  };
  for (std::size_t e = 0; e < net.size(); ++e)
    for (int k = 0; k < 3; ++k) {
      int a = net[e][k], b = net[e][(k + 1) % 3];
      auto [it, fresh] = run.emplace(std::make_pair(a, b), e);
      if (!fresh) over(it->second, e);
    }
}

}  // namespace domica_mesh
