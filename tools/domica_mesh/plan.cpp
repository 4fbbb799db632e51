#include "tools/domica_mesh/plan.h"

#include "tools/domica_mesh/checks.h"
#include "tools/domica_mesh/guard.h"
#include "tools/netgen/weblar.h"

#include <gmsh.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <map>

namespace domica_mesh {

namespace {

[[noreturn]] void refuse(const std::string& message) { throw netgen::tool_error{message, false}; }

// Gmsh is started once per run and finished on every way out.
struct gmsh_session {
  gmsh_session() {
    gmsh::initialize(0, nullptr, false);
    gmsh::option::setNumber("General.Terminal", 0);
    // Gmsh throws its errors, also from the threads of its 2D mesher, where
    // nothing can catch them; logged instead, they are read after each step.
    gmsh::option::setNumber("General.AbortOnError", 0);
    // Else Gmsh asks on standard output, and waits for an answer, before a
    // mesh it thinks very large.
    gmsh::option::setNumber("General.ExpertMode", 1);
  }
  ~gmsh_session() { gmsh::finalize(); }
};

std::string last_gmsh_error() {
  std::string error;
  gmsh::logger::getLastError(error);
  return error.empty() ? "Gmsh could not read or mesh the plan, and gave no reason" : error;
}

// A Gmsh error logged during the last step ends the run with it.
void check_gmsh(const std::string& file) {
  std::string error;
  gmsh::logger::getLastError(error);
  if (!error.empty()) refuse(file + ": " + error);
}

std::string element_name(int type) {
  std::string name;
  int dim = 0, order = 0, nodes = 0, primary = 0;
  std::vector<double> local;
  gmsh::model::mesh::getElementProperties(type, name, dim, order, nodes, local, primary);
  return name;
}

void read_mesh(const std::string& path, const std::string& file, double size, bool trust, plan& p) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (ext != ".geo" && ext != ".msh") refuse(file + ": a plan is a .geo or a .msh file");
  if (ext == ".msh" && size > 0) refuse(file + ": size= meshes a .geo plan; a .msh plan is meshed already");
  if (!std::filesystem::is_regular_file(path)) refuse(file + ": cannot be read");
  if (!trust && ext == ".geo") check_plan_commands(path);
  if (!trust && ext == ".msh") check_mesh_file(path);
  if (size > 0) {
    gmsh::option::setNumber("Mesh.MeshSizeMin", size);
    gmsh::option::setNumber("Mesh.MeshSizeMax", size);
  }
  gmsh::open(path);
  check_gmsh(file);
  if (gmsh::model::getDimension() < 2) {
    std::vector<std::pair<int, int>> surfaces;
    gmsh::model::getEntities(surfaces, 2);
    if (surfaces.empty()) refuse(file + ": the plan has no surface");
  }

  // The net's surfaces: those of the physical surfaces, else all.
  std::vector<int> surfaces;
  std::vector<std::pair<int, int>> groups;
  gmsh::model::getPhysicalGroups(groups, 2);
  for (const auto& [dim, tag] : groups) {
    std::vector<int> tags;
    gmsh::model::getEntitiesForPhysicalGroup(dim, tag, tags);
    surfaces.insert(surfaces.end(), tags.begin(), tags.end());
  }
  if (groups.empty()) {
    std::vector<std::pair<int, int>> all;
    gmsh::model::getEntities(all, 2);
    for (const auto& [dim, tag] : all) surfaces.push_back(tag);
  }
  std::sort(surfaces.begin(), surfaces.end());
  surfaces.erase(std::unique(surfaces.begin(), surfaces.end()), surfaces.end());

  bool meshed = false;
  for (int s : surfaces) {
    std::vector<int> types;
    std::vector<std::vector<std::size_t>> tags, nodes;
    gmsh::model::mesh::getElements(types, tags, nodes, 2, s);
    meshed = meshed || !types.empty();
  }
  if (!meshed && ext == ".geo") {
    if (size > 0) check_size_budget(file, surfaces, size);
    else {
      double floor = 0.0;
      gmsh::option::getNumber("Mesh.MeshSizeMin", floor);
      gmsh::option::setNumber("Mesh.MeshSizeMin", std::max(floor, smallest_size(surfaces)));
    }
    gmsh::model::mesh::generate(1);
    check_gmsh(file);
    check_curve_budget(file, surfaces);
    check_crossings(file, surfaces);
    gmsh::model::mesh::generate(2);
    check_gmsh(file);
  }
  if (!meshed && ext == ".msh") refuse(file + ": the surfaces of the plan have no mesh");

  std::vector<mesh_triangle> triangles;
  for (int s : surfaces) {
    std::vector<int> types;
    std::vector<std::vector<std::size_t>> tags, nodes;
    gmsh::model::mesh::getElements(types, tags, nodes, 2, s);
    for (std::size_t k = 0; k < types.size(); ++k) {
      if (types[k] != 2)
        refuse(file + ": surface " + std::to_string(s) + " has " + std::to_string(tags[k].size()) + " elements of type \"" +
               element_name(types[k]) + "\" (element " + std::to_string(tags[k][0]) +
               "); the net takes 3-node triangles only");
      for (std::size_t e = 0; e < tags[k].size(); ++e)
        triangles.push_back({s, tags[k][e], {nodes[k][3 * e], nodes[k][3 * e + 1], nodes[k][3 * e + 2]}});
    }
  }
  if (triangles.empty()) refuse(file + ": the plan's surfaces hold no triangles");

  // Nodes: the corners of the triangles, ascending by tag.
  std::vector<std::size_t> all_tags;
  std::vector<double> coord, parametric;
  gmsh::model::mesh::getNodes(all_tags, coord, parametric, -1, -1, false, false);
  std::map<std::size_t, std::size_t> where;  // tag -> position in all_tags
  for (std::size_t i = 0; i < all_tags.size(); ++i) where[all_tags[i]] = i;
  check_boundaries(file, surfaces, triangles);
  for (const auto& t : triangles) p.node_tag.insert(p.node_tag.end(), t.nodes.begin(), t.nodes.end());
  std::sort(p.node_tag.begin(), p.node_tag.end());
  p.node_tag.erase(std::unique(p.node_tag.begin(), p.node_tag.end()), p.node_tag.end());
  std::map<std::size_t, int> number;
  double zmin = INFINITY, zmax = -INFINITY, extent = 0.0;
  std::size_t low = 0, high = 0;
  for (std::size_t i = 0; i < p.node_tag.size(); ++i) {
    auto it = where.find(p.node_tag[i]);
    if (it == where.end()) refuse(file + ": node " + std::to_string(p.node_tag[i]) + " of a triangle has no coordinates");
    const double* c = &coord[3 * it->second];
    p.n.nodes.push_back({c[0], c[1]});
    number[p.node_tag[i]] = static_cast<int>(i);
    if (c[2] < zmin) zmin = c[2], low = p.node_tag[i];
    if (c[2] > zmax) zmax = c[2], high = p.node_tag[i];
    extent = std::max({extent, std::fabs(c[0]), std::fabs(c[1])});
  }
  if (zmax - zmin > 1e-9 * std::max(extent, 1e-300))
    refuse(file + ": the mesh is not flat: node " + std::to_string(low) + " lies at z = " + netgen::shortest(zmin) +
           ", node " + std::to_string(high) + " at z = " + netgen::shortest(zmax) + "; a plan lies in the x-y plane");

  // Triangles anticlockwise seen from above.
  for (const mesh_triangle& mt : triangles) {
    const std::size_t tag = mt.element;
    const auto& corner = mt.nodes;
    netgen::triangle t = {number[corner[0]], number[corner[1]], number[corner[2]]};
    const netgen::plan_node &a = p.n.nodes[t[0]], &b = p.n.nodes[t[1]], &c = p.n.nodes[t[2]];
    double area2 = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    double scale = std::max({std::fabs(b.x - a.x), std::fabs(b.y - a.y), std::fabs(c.x - a.x), std::fabs(c.y - a.y)});
    if (!(std::fabs(area2) > 1e-12 * scale * scale))
      refuse(file + ": triangle element " + std::to_string(tag) + " has no plan area");
    if (area2 < 0) std::swap(t[1], t[2]);
    p.n.triangles.push_back(t);
  }
  check_layers(file, p.n.triangles, triangles);

  // Point and curve groups.
  std::vector<std::pair<int, int>> marks;
  gmsh::model::getPhysicalGroups(marks, 0);
  std::vector<std::pair<int, int>> curves;
  gmsh::model::getPhysicalGroups(curves, 1);
  marks.insert(marks.end(), curves.begin(), curves.end());
  for (const auto& [dim, tag] : marks) {
    plan_group g;
    g.dim = dim;
    g.tag = tag;
    gmsh::model::getPhysicalName(dim, tag, g.name);
    std::vector<double> xyz;
    gmsh::model::mesh::getNodesForPhysicalGroup(dim, tag, g.nodes, xyz);
    p.groups.push_back(std::move(g));
  }
}

}  // namespace

std::string group_text(const plan_group& g) {
  return std::string("physical ") + (g.dim == 0 ? "point " : "curve ") + std::to_string(g.tag) + " \"" + g.name + "\"";
}

void read_plan(const std::string& path, double size, bool trust, plan& p) {
  const std::string& file = path;
  gmsh_session session;
  try {
    read_mesh(path, file, size, trust, p);
  } catch (const netgen::tool_error&) {
    throw;
  } catch (...) {
    refuse(file + ": " + last_gmsh_error());
  }
}

}  // namespace domica_mesh
