#include "tools/makenet/plans.h"

#include <cmath>
#include <functional>

namespace makenet {

namespace {

const double pi = 3.14159265358979323846;

// A centre node and `rings` rings of sectors*k nodes each, ring k's node j at
// place(k, j), j running anticlockwise; triangles fill each sector between
// ring k-1 and ring k.
void ring_plan(int sectors, int rings, const std::function<netgen::plan_node(int, int)>& place, plan& p) {
  netgen::net& n = p.n;
  n.nodes.push_back({0.0, 0.0});
  auto first = [sectors](int k) { return k == 0 ? 0 : 1 + sectors * k * (k - 1) / 2; };  // ring k's node 0
  for (int k = 1; k <= rings; ++k)
    for (int j = 0; j < sectors * k; ++j) n.nodes.push_back(place(k, j));
  for (int k = 1; k <= rings; ++k) {
    int outer = first(k), inner = first(k - 1), no = sectors * k, ni = sectors * (k - 1);
    auto o = [&](int t) { return outer + (t % no); };
    auto in = [&](int t) { return ni == 0 ? inner : inner + (t % ni); };
    for (int s = 0; s < sectors; ++s) {
      for (int t = 0; t < k; ++t) n.triangles.push_back({o(s * k + t), o(s * k + t + 1), in(s * (k - 1) + t)});
      for (int t = 0; t + 1 < k; ++t)
        n.triangles.push_back({in(s * (k - 1) + t), o(s * k + t + 1), in(s * (k - 1) + t + 1)});
    }
  }
  for (int j = 0; j < sectors * rings; ++j) p.edge.push_back(first(rings) + j);
  for (int s = 0; s < sectors; ++s) p.corners.push_back(first(rings) + s * rings);
  p.centre = 0;
}

}  // namespace

void rect_plan(int nx, int ny, double lx, double ly, plan& p) {
  netgen::net& n = p.n;
  auto id = [nx](int i, int j) { return j * (nx + 1) + i; };
  for (int j = 0; j <= ny; ++j)
    for (int i = 0; i <= nx; ++i) n.nodes.push_back({lx * i / nx - lx / 2, ly * j / ny - ly / 2});
  for (int j = 0; j < ny; ++j)
    for (int i = 0; i < nx; ++i) {
      int n00 = id(i, j), n10 = id(i + 1, j), n01 = id(i, j + 1), n11 = id(i + 1, j + 1);
      // Diagonals alternate so that the net is symmetric about both axes.
      bool flip = (i < nx / 2) != (j < ny / 2);
      if (!flip) {
        n.triangles.push_back({n00, n10, n11});
        n.triangles.push_back({n00, n11, n01});
      } else {
        n.triangles.push_back({n00, n10, n01});
        n.triangles.push_back({n10, n11, n01});
      }
    }
  for (int j = 0; j <= ny; ++j)
    for (int i = 0; i <= nx; ++i)
      if (i == 0 || j == 0 || i == nx || j == ny) p.edge.push_back(id(i, j));
  p.corners = {id(0, 0), id(nx, 0), id(nx, ny), id(0, ny)};
  p.centre = id(nx / 2, ny / 2);
}

void disc_plan(int rings, double radius, plan& p) {
  ring_plan(6, rings, [&](int k, int j) {
    double angle = 2 * pi * j / (6 * k);
    double r = radius * k / rings;
    return netgen::plan_node{r * std::cos(angle), r * std::sin(angle)};
  }, p);
  p.corners.clear();
}

void ellipse_plan(int rings, double a, double b, plan& p) {
  ring_plan(6, rings, [&](int k, int j) {
    double angle = 2 * pi * j / (6 * k);
    double r = static_cast<double>(k) / rings;
    return netgen::plan_node{a * r * std::cos(angle), b * r * std::sin(angle)};
  }, p);
  p.corners.clear();
}

void polygon_plan(int sides, int rings, double radius, plan& p) {
  std::vector<netgen::plan_node> corner(sides + 1);
  for (int s = 0; s <= sides; ++s) {
    double angle = 2 * pi * (s % sides) / sides - pi / 2 + pi / sides;
    corner[s] = {radius * std::cos(angle), radius * std::sin(angle)};
  }
  ring_plan(sides, rings, [&](int k, int j) {
    int s = j / k, t = j % k;
    double r = static_cast<double>(k) / rings, f = static_cast<double>(t) / k;
    const netgen::plan_node &c0 = corner[s], &c1 = corner[s + 1];
    return netgen::plan_node{r * (c0.x + (c1.x - c0.x) * f), r * (c0.y + (c1.y - c0.y) * f)};
  }, p);
}

}  // namespace makenet
