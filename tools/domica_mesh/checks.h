// Checks of a plan and of its mesh against hostile or mistaken input: the
// size of the net before it is meshed, surfaces laid twice over the plan, and
// holes that the mesh left out.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace domica_mesh {

// The most nodes a net may have: Gmsh meshes 300,000 in about half a minute
// and 1,000,000 in minutes and gigabytes; no program solves such nets.
constexpr double most_nodes = 5e5;

// Before meshing the open Gmsh model: with mesh size `size` (> 0), the
// estimate 2 A / (sqrt 3 size^2) + P / size of the nodes over the bounding
// box of `surfaces` (area A, perimeter P) must not exceed most_nodes.
// Throws a tool_error naming `file`, the size and the estimate.
void check_size_budget(const std::string& file, const std::vector<int>& surfaces, double size);

// After the curves are meshed, before the surfaces are: the estimate from
// the boundary curves' segments (their number and mean length h, and the
// bounding box area A: A / (0.433 h^2)) must not exceed most_nodes.
void check_curve_budget(const std::string& file, const std::vector<int>& surfaces);

// After the curves are meshed: no two curves bounding one of `surfaces` may
// cross (a hole crossing the outer loop); their meshes' segments are tested.
void check_crossings(const std::string& file, const std::vector<int>& surfaces);

// The smallest mesh size worth trying on the open model when the plan gives
// its own sizes: the diagonal of the bounding box of `surfaces` over
// most_nodes (a finer size could not pass the budget, and would make the
// curves' mesh itself huge, or Gmsh's count of its segments overflow).
double smallest_size(const std::vector<int>& surfaces);

// After meshing: every segment of every curve bounding a net surface must be
// an edge of that surface's triangles (a hole outside the outer loop, or
// one crossing it, leaves its curve without triangles).
// Inputs: the surfaces, their triangles (surface tag, element tag, Gmsh node
// tags of the corners).
struct mesh_triangle {
  int surface = 0;
  std::size_t element = 0;
  std::array<std::size_t, 3> nodes{};
};
void check_boundaries(const std::string& file, const std::vector<int>& surfaces,
                      const std::vector<mesh_triangle>& triangles);

// The net's triangles, anticlockwise seen from above, must not lie over one
// another along an edge: an edge run the same way by two triangles (two
// surfaces on one loop; so is any edge of more than two triangles) is a
// tool_error naming both elements and their surfaces.
// Inputs: triangles as net node numbers (anticlockwise) with their
// mesh_triangle of the same index.
void check_layers(const std::string& file, const std::vector<std::array<int, 3>>& net,
                  const std::vector<mesh_triangle>& triangles);

}  // namespace domica_mesh
