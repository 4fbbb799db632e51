// Structured nets on simple plans, numbered in the order they are built.
#pragma once

#include <string>
#include <vector>

#include "tools/netgen/net.h"

namespace makenet {

// A generated plan: the net (no supports or loads yet) and the nodes that
// supports and the point load are put on.
struct plan {
  netgen::net n;
  std::vector<int> edge;     // nodes on the outline
  std::vector<int> corners;  // rect: (0,0) (nx,0) (nx,ny) (0,ny); polygon: its corners; points: the listed points
  int centre = 0;            // node nearest the middle of the plan
};

// Rectangle lx by ly centred on the origin, nx by ny cells of two triangles,
// diagonals mirrored about both axes. Nodes row by row from (-lx/2, -ly/2).
void rect_plan(int nx, int ny, double lx, double ly, plan& p);

// Circle of the given radius: a centre node and `rings` rings of 6k nodes.
void disc_plan(int rings, double radius, plan& p);

// Ellipse with semi-axes a (along x) and b (along y): the disc net of radius 1
// stretched by a and b.
void ellipse_plan(int rings, double a, double b, plan& p);

// Regular polygon of `sides` sides whose corners lie on the circle of the
// given radius, one side parallel to x at the bottom: a centre node and
// `rings` similar polygons of sides*k nodes, evenly spaced along the sides.
void polygon_plan(int sides, int rings, double radius, plan& p);

}  // namespace makenet
