// Reading a plan drawn in Gmsh (.geo, meshed here, or an already meshed .msh)
// through Gmsh's C++ API.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tools/netgen/net.h"

namespace domica_mesh {

// A physical group of points (dim 0) or curves (dim 1) and its mesh nodes.
struct plan_group {
  int dim = 0, tag = 0;
  std::string name;
  std::vector<std::size_t> nodes;  // Gmsh node tags
};

struct plan {
  netgen::net n;                      // nodes ascending by Gmsh tag; triangles anticlockwise
  std::vector<std::size_t> node_tag;  // #nodes Gmsh tag of each net node
  std::vector<plan_group> groups;     // point and curve groups, by dimension and tag
};

// Reads the plan of `path`. The net is made of the 3-node triangles of the
// physical surfaces (of every surface when there is none); its nodes are the
// corners of those triangles only. A .geo plan is meshed when it holds no
// mesh, with mesh size `size` everywhere when size > 0 (from the .geo
// otherwise). Other elements on the net's surfaces, a mesh that is not flat,
// a triangle of no plan area and Gmsh's own errors are tool_errors naming
// the file and the entity. Unless `trust`, the plan's commands are checked
// first (guard.h): a plan that would run a program, touch a file or end the
// tool is refused before Gmsh reads it.
void read_plan(const std::string& path, double size, bool trust, plan& p);

// Gmsh's name of a physical group, "physical curve 3 \"fixed\"".
std::string group_text(const plan_group& g);

}  // namespace domica_mesh
