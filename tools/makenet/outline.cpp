#include "tools/makenet/outline.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <tuple>

namespace makenet {

namespace {

using netgen::plan_node;

[[noreturn]] void refuse(const std::string& message) { throw netgen::tool_error{message, false}; }

double cross(const plan_node& a, const plan_node& b, const plan_node& c) {
  return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

// Whether segments ab and cd share a point.
bool segments_meet(const plan_node& a, const plan_node& b, const plan_node& c, const plan_node& d) {
  double d1 = cross(a, b, c), d2 = cross(a, b, d), d3 = cross(c, d, a), d4 = cross(c, d, b);
  if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0))) return true;
  auto on = [](const plan_node& p, const plan_node& q, const plan_node& r, double side) {
    return side == 0 && std::min(p.x, q.x) <= r.x && r.x <= std::max(p.x, q.x) && std::min(p.y, q.y) <= r.y &&
           r.y <= std::max(p.y, q.y);
  };
  return on(a, b, c, d1) || on(a, b, d, d2) || on(c, d, a, d3) || on(c, d, b, d4);
}

// Smallest angle of triangle abc (radians).
double smallest_angle(const plan_node& a, const plan_node& b, const plan_node& c) {
  auto angle = [](const plan_node& p, const plan_node& q, const plan_node& r) {
    double ux = q.x - p.x, uy = q.y - p.y, vx = r.x - p.x, vy = r.y - p.y;
    return std::atan2(std::fabs(ux * vy - uy * vx), ux * vx + uy * vy);
  };
  return std::min({angle(a, b, c), angle(b, c, a), angle(c, a, b)});
}

}  // namespace

void read_outline(const std::string& path, std::vector<plan_node>& points) {
  std::ifstream in(path);
  if (!in) refuse(path + ": cannot be read");
  std::vector<int> lines;
  std::string text;
  for (int line = 1; std::getline(in, text); ++line) {
    if (!text.empty() && text.back() == '\r') text.pop_back();
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos || text[first] == '#') continue;
    std::istringstream words(text);
    std::string w[3];
    words >> w[0] >> w[1] >> w[2];
    double v[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
      auto [end, ec] = std::from_chars(w[i].data(), w[i].data() + w[i].size(), v[i]);
      if (w[i].empty() || ec != std::errc() || end != w[i].data() + w[i].size() || !std::isfinite(v[i]))
        refuse(path + ":" + std::to_string(line) + ": expected \"x y\", found \"" + text + "\"");
    }
    if (!w[2].empty()) refuse(path + ":" + std::to_string(line) + ": more than two values: \"" + text + "\"");
    points.push_back({v[0], v[1]});
    lines.push_back(line);
  }
  if (points.size() > 1 && points.front().x == points.back().x && points.front().y == points.back().y) {
    points.pop_back();
    lines.pop_back();
  }
  if (points.size() < 3) refuse(path + ": an outline needs at least 3 points, found " + std::to_string(points.size()));
  if (points.size() > 5000) refuse(path + ": more than 5000 outline points");
  std::size_t m = points.size();
  auto at = [&](std::size_t i) { return path + ":" + std::to_string(lines[i]); };
  for (std::size_t i = 0; i < m; ++i)
    for (std::size_t j = i + 1; j < m; ++j)
      if (points[i].x == points[j].x && points[i].y == points[j].y)
        refuse(at(j) + ": point repeats the point of line " + std::to_string(lines[i]));
  // Sides i..i+1 and j..j+1 that are not neighbours must not meet.
  for (std::size_t i = 0; i < m; ++i)
    for (std::size_t j = i + 2; j < m; ++j) {
      if (i == 0 && j == m - 1) continue;
      if (segments_meet(points[i], points[i + 1], points[j], points[(j + 1) % m]))
        refuse(at(i) + ": the side from this point crosses the side from line " + std::to_string(lines[j]));
    }
  // Neighbouring sides that fold back onto each other.
  for (std::size_t i = 0; i < m; ++i) {
    const plan_node &a = points[(i + m - 1) % m], &b = points[i], &c = points[(i + 1) % m];
    if (cross(a, b, c) == 0 && (c.x - b.x) * (a.x - b.x) + (c.y - b.y) * (a.y - b.y) > 0)
      refuse(at(i) + ": the outline turns back on itself at this point");
  }
}

void outline_plan(const std::vector<plan_node>& points, int divisions, plan& p) {
  std::vector<plan_node> pts = points;
  std::size_t m = pts.size();
  double area2 = 0.0;
  for (std::size_t i = 0; i < m; ++i) area2 += pts[i].x * pts[(i + 1) % m].y - pts[(i + 1) % m].x * pts[i].y;
  std::vector<int> ring(m);
  for (std::size_t i = 0; i < m; ++i) ring[i] = static_cast<int>(area2 > 0 ? i : m - 1 - i);  // anticlockwise

  // Ear clipping: an ear is a strictly convex corner whose triangle holds no
  // other outline point, on its sides included.
  std::vector<netgen::triangle> ears;
  auto ear_quality = [&](std::size_t k) {
    std::size_t n = ring.size();
    int a = ring[(k + n - 1) % n], b = ring[k], c = ring[(k + 1) % n];
    if (!(cross(pts[a], pts[b], pts[c]) > 0)) return -1.0;
    for (int v : ring) {
      if (v == a || v == b || v == c) continue;
      if (cross(pts[a], pts[b], pts[v]) >= 0 && cross(pts[b], pts[c], pts[v]) >= 0 && cross(pts[c], pts[a], pts[v]) >= 0)
        return -1.0;
    }
    return smallest_angle(pts[a], pts[b], pts[c]);
  };
  std::vector<double> quality(m);
  for (std::size_t k = 0; k < m; ++k) quality[k] = ear_quality(k);
  while (ring.size() > 3) {
    std::size_t best = 0;
    for (std::size_t k = 1; k < ring.size(); ++k)
      if (quality[k] > quality[best]) best = k;
    if (quality[best] < 0) refuse("the outline cannot be cut into triangles");
    std::size_t n = ring.size();
    ears.push_back({ring[(best + n - 1) % n], ring[best], ring[(best + 1) % n]});
    ring.erase(ring.begin() + static_cast<long>(best));
    quality.erase(quality.begin() + static_cast<long>(best));
    n = ring.size();
    std::size_t before = (best + n - 1) % n, after = best % n;
    quality[before] = ear_quality(before);
    quality[after] = ear_quality(after);
  }
  if (!(cross(pts[ring[0]], pts[ring[1]], pts[ring[2]]) > 0)) refuse("the outline cannot be cut into triangles");
  ears.push_back({ring[0], ring[1], ring[2]});

  // Split each triangle into divisions^2; a node on a side is made once, from
  // the side's lower-numbered end, and shared by both triangles of that side.
  netgen::net& net = p.n;
  net.nodes = pts;
  const int d = divisions;
  std::map<std::tuple<int, int, int>, int> side_node;
  auto on_side = [&](int u, int v, int step) {  // node `step` of d from u towards v
    if (step == 0) return u;
    if (step == d) return v;
    if (u > v) {
      std::swap(u, v);
      step = d - step;
    }
    auto [it, fresh] = side_node.try_emplace({u, v, step}, static_cast<int>(net.nodes.size()));
    if (fresh) {
      double f = static_cast<double>(step) / d;
      net.nodes.push_back({pts[u].x + (pts[v].x - pts[u].x) * f, pts[u].y + (pts[v].y - pts[u].y) * f});
    }
    return it->second;
  };
  for (const netgen::triangle& t : ears) {
    const plan_node &a = pts[t[0]], &b = pts[t[1]], &c = pts[t[2]];
    // Lattice point (i, j) = a + (b - a) i/d + (c - a) j/d.
    std::vector<int> id((d + 1) * (d + 1), -1);
    auto at = [&](int i, int j) -> int& { return id[j * (d + 1) + i]; };
    for (int j = 0; j <= d; ++j)
      for (int i = 0; i + j <= d; ++i) {
        if (j == 0) at(i, j) = on_side(t[0], t[1], i);
        else if (i == 0) at(i, j) = on_side(t[0], t[2], j);
        else if (i + j == d) at(i, j) = on_side(t[1], t[2], j);
        else {
          at(i, j) = static_cast<int>(net.nodes.size());
          double fi = static_cast<double>(i) / d, fj = static_cast<double>(j) / d;
          net.nodes.push_back({a.x + (b.x - a.x) * fi + (c.x - a.x) * fj, a.y + (b.y - a.y) * fi + (c.y - a.y) * fj});
        }
      }
    for (int j = 0; j < d; ++j)
      for (int i = 0; i + j < d; ++i) {
        net.triangles.push_back({at(i, j), at(i + 1, j), at(i, j + 1)});
        if (i + j + 1 < d) net.triangles.push_back({at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)});
      }
  }

  // Supports and load points.
  for (std::size_t i = 0; i < m; ++i) {
    int u = static_cast<int>(i), v = static_cast<int>((i + 1) % m);
    p.edge.push_back(u);
    for (int step = 1; step < d; ++step) p.edge.push_back(on_side(u, v, step));
    p.corners.push_back(u);
  }
  double cx = 0, cy = 0, total = 0;
  for (const netgen::triangle& t : ears) {
    double w = cross(pts[t[0]], pts[t[1]], pts[t[2]]);
    cx += w * (pts[t[0]].x + pts[t[1]].x + pts[t[2]].x) / 3;
    cy += w * (pts[t[0]].y + pts[t[1]].y + pts[t[2]].y) / 3;
    total += w;
  }
  cx /= total;
  cy /= total;
  double nearest = INFINITY;
  for (std::size_t i = 0; i < net.nodes.size(); ++i) {
    double dist = std::hypot(net.nodes[i].x - cx, net.nodes[i].y - cy);
    if (dist < nearest) {
      nearest = dist;
      p.centre = static_cast<int>(i);
    }
  }
}

}  // namespace makenet
