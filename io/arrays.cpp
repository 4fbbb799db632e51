#include "io/arrays.h"

#include "io/parameters.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "io/parameters.h"
#include "model/failure.h"

namespace domica {

namespace {

[[noreturn]] void fail(const std::string& where, const std::string& message) {
  throw failure(exit_input, where + ": " + message);
}

std::string row_of(const char* name, std::size_t row) { return std::string(name) + " row " + std::to_string(row); }

std::string joined(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& n : names) out += (out.empty() ? "" : ", ") + n;
  return out;
}

// A real value as read_real takes it: finite.
double real(const std::string& where, double v, const char* what) {
  if (!std::isfinite(v)) fail(where, std::string("real number out of range (") + what + "), found " + exact(v));
  return v;
}

// An integer value as read_int takes it: a whole number in the 32-bit range.
std::int32_t integer(const std::string& where, double v, const char* what) {
  if (!std::isfinite(v) || v != std::floor(v)) fail(where, std::string("expected an integer (") + what + "), found " + exact(v));
  if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
    fail(where, std::string("integer out of the 32-bit range (") + what + "), found " + exact(v));
  return static_cast<std::int32_t>(v);
}

// The rows of a table of `cols` columns (any of `cols` or `alt` when alt > 0);
// an empty table of any shape has none.
std::size_t rows_of(const table& t, const char* name, const char* rows, std::size_t cols, std::size_t alt = 0) {
  if (t.data.empty()) return 0;
  bool ok = t.shape.size() == 2 && (t.shape[1] == cols || (alt > 0 && t.shape[1] == alt));
  if (!ok) {
    std::string found;
    for (std::size_t s : t.shape) found += (found.empty() ? "" : ", ") + std::to_string(s);
    if (t.shape.size() == 1) found += ",";
    std::string want = "(";
    want.append(rows).append(", ").append(std::to_string(cols)).append(")");
    if (alt > 0) want.append(" or (").append(rows).append(", ").append(std::to_string(alt)).append(")");
    fail(name, "expected a table of shape " + want + ", found shape (" + found + ")");
  }
  if (t.shape[0] > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) fail(name, "too many rows: " + std::to_string(t.shape[0]));
  return t.shape[0];
}

// The values of a parameter record by name: each name of `names` once, no other.
class named {
 public:
  named(const char* block, program variant, const parameters& given, std::vector<std::string> names)
      : block_(block), names_(std::move(names)), given_(given) {
    std::string reads = std::string(program_name(variant)) + " reads " + joined(names_);
    for (std::size_t i = 0; i < given_.size(); ++i) {
      bool known = false;
      for (const std::string& n : names_) known = known || n == given_[i].first;
      if (!known) fail(block_, "unknown parameter \"" + given_[i].first + "\" (" + reads + ")");
      for (std::size_t j = 0; j < i; ++j)
        if (given_[j].first == given_[i].first) fail(block_, "parameter " + given_[i].first + " is given twice");
    }
    for (const std::string& n : names_) {
      bool found = false;
      for (const auto& g : given_) found = found || g.first == n;
      if (!found) fail(block_, "parameter " + n + " is missing (" + reads + ")");
    }
  }
  double real(const char* name) const { return domica::real(block_, value(name), name); }
  std::int32_t integer(const char* name) const { return domica::integer(block_, value(name), name); }
  // A count of steps or iterations: zero has a meaning of its own, a negative count none.
  std::int32_t steps(const char* name) const {
    std::int32_t v = integer(name);
    if (v < 0) fail(block_, std::string(name) + " must be at least 0, found " + std::to_string(v));
    return v;
  }
  [[noreturn]] void error(const std::string& message) const { fail(block_, message); }

 private:
  double value(const char* name) const {
    for (const auto& g : given_)
      if (g.first == name) return g.second;
    return 0.0;  // not reached: every name was checked present
  }
  const char* block_;
  std::vector<std::string> names_;
  const parameters& given_;
};

void solver_parameters(problem& p, const parameters& given) {
  named r("solver", p.variant, given, solver_names(p.variant));
  solver_values(p, r, [&](const std::string& message) { r.error(message); });
}

void material_and_loads(problem& p, const parameters& given) {
  named r("material", p.variant, given, material_names(p.variant));
  material_values(p, r, [&](const std::string& message) { r.error(message); });
}

void nodes(problem& p, const table& t) {
  std::size_t rows = rows_of(t, "nodes", "nn", 2);
  // Three coordinates per node must stay within the 32-bit coordinate numbers.
  if (rows > 715827882) fail("nodes", "too many nodes: " + std::to_string(rows));
  p.nt.nn = static_cast<int>(rows);
  p.nt.xo = fmat1(p.nt.nn);
  p.nt.yo = fmat1(p.nt.nn);
  for (int k = 0; k < p.nt.nn; ++k) {
    std::string where = row_of("nodes", static_cast<std::size_t>(k));
    p.nt.xo(k + 1) = real(where, t.data[2 * static_cast<std::size_t>(k)], "plan x");
    p.nt.yo(k + 1) = real(where, t.data[2 * static_cast<std::size_t>(k) + 1], "plan y");
  }
}

// A node index of a row, 0..nn-1; returns the node number 1..nn.
int node_index(const problem& p, const std::string& where, double v, const char* what) {
  std::int32_t k = integer(where, v, what);
  if (k < 0 || k >= p.nt.nn)
    fail(where, "node index " + std::to_string(k) + " is outside 0.." + std::to_string(p.nt.nn - 1));
  return k + 1;
}

int axis_index(const std::string& where, double v) {
  std::int32_t axis = integer(where, v, "axis");
  if (axis < 0 || axis > 2) fail(where, "axis " + std::to_string(axis) + " is outside 0..2 (x, y, z)");
  return axis + 1;
}

void triangles(problem& p, const table& t) {
  p.nt.ne = static_cast<int>(rows_of(t, "triangles", "ne", 3));
  p.nt.tri = arr1<fixed1<std::int32_t, 3>>(p.nt.ne);
  for (int e = 1; e <= p.nt.ne; ++e) {
    std::string where = row_of("triangles", static_cast<std::size_t>(e - 1));
    const double* r = &t.data[3 * static_cast<std::size_t>(e - 1)];
    int g1 = node_index(p, where, r[0], "corner node");
    int g2 = node_index(p, where, r[1], "corner node");
    int g3 = node_index(p, where, r[2], "corner node");
    std::string nodes = std::to_string(g1 - 1) + ", " + std::to_string(g2 - 1) + ", " + std::to_string(g3 - 1);
    if (g1 == g2 || g2 == g3 || g1 == g3) fail(where, "triangle names a node twice (nodes " + nodes + ")");
    double aux = plan_aux(p.nt.xo(g1), p.nt.yo(g1), p.nt.xo(g2), p.nt.yo(g2), p.nt.xo(g3), p.nt.yo(g3));
    if (aux == 0.0 || !std::isfinite(aux)) fail(where, "triangle has collinear plan corners, zero plan area (nodes " + nodes + ")");
    p.nt.tri(e)(1) = g1;
    p.nt.tri(e)(2) = g2;
    p.nt.tri(e)(3) = g3;
  }
}

void fixed_coordinates(problem& p, const table& t) {
  p.nt.known = fmat2(p.nt.nn, 3);
  p.nt.fixed = imat2(p.nt.nn, 3);
  // domica_2 reads no prescribed displacements: fixed coordinates stay at the plan.
  bool values = p.variant != program::domica_2;
  std::size_t cols = values ? 3 : t.shape.size() == 2 && t.shape[1] == 2 ? 2 : 3;
  std::size_t rows = rows_of(t, "fixed", "k", 3, values ? 0 : 2);
  for (std::size_t k = 0; k < rows; ++k) {
    std::string where = row_of("fixed", k);
    const double* r = &t.data[cols * k];
    int glob = node_index(p, where, r[0], "node");
    int axis = axis_index(where, r[1]);
    if (cols == 3) {
      double v = real(where, r[2], "prescribed displacement");
      if (values)
        p.nt.known(glob, axis) = v;
      else if (v != 0.0)
        fail(where, "domica_2 reads no prescribed displacements, found " + exact(v) + " (give 0 or leave the column out)");
    }
    p.nt.fixed(glob, axis) = 1;
  }
}

void point_loads(problem& p, const table& t) {
  p.nt.point = fmat2(p.nt.nn, 3);
  std::size_t rows = rows_of(t, "loads", "m", 3);
  for (std::size_t k = 0; k < rows; ++k) {
    std::string where = row_of("loads", k);
    const double* r = &t.data[3 * k];
    int glob = node_index(p, where, r[0], "node");
    int axis = axis_index(where, r[1]);
    p.nt.point(glob, axis) = real(where, r[2], "load");
  }
}

table matrix(std::size_t rows, std::size_t cols) { return table{{rows, cols}, {}}; }

}  // namespace

std::vector<std::string> solver_names(program variant) {
  switch (variant) {
    case program::domica_1: return {"lstol", "maxls", "mntol", "maxminor", "maxlist"};
    case program::domica_2: return {"mntol", "maxminor", "maxmajor"};
    case program::domica_3: break;
  }
  return {"lstol", "maxls", "mntol", "maxminor", "maxmajor", "maxlist"};
}

std::vector<std::string> material_names(program variant) {
  switch (variant) {
    case program::domica_1: return {"young", "poisson", "thickness", "maxweight"};
    case program::domica_2: return {"young", "poisson", "thickness", "maxweight", "maxpressure"};
    case program::domica_3: break;
  }
  return {"young", "poisson", "thickness", "density", "pressure"};
}

problem problem_from_arrays(program variant, const plain_problem& a) {
  problem p;
  p.variant = variant;
  solver_parameters(p, a.solver);
  material_and_loads(p, a.material);
  nodes(p, a.nodes);
  triangles(p, a.triangles);
  fixed_coordinates(p, a.fixed);
  point_loads(p, a.loads);
  return p;
}

plain_problem arrays_of(const problem& p) {
  const net& nt = p.nt;
  plain_problem a;
  a.nodes = matrix(static_cast<std::size_t>(nt.nn), 2);
  for (int glob = 1; glob <= nt.nn; ++glob) {
    a.nodes.data.push_back(nt.xo(glob));
    a.nodes.data.push_back(nt.yo(glob));
  }
  a.triangles = matrix(static_cast<std::size_t>(nt.ne), 3);
  for (int e = 1; e <= nt.ne; ++e)
    for (int loc = 1; loc <= 3; ++loc) a.triangles.data.push_back(nt.tri(e)(loc) - 1);
  a.fixed = matrix(0, 3);
  a.loads = matrix(0, 3);
  for (int glob = 1; glob <= nt.nn; ++glob)
    for (int axis = 1; axis <= 3; ++axis) {
      if (nt.fixed(glob, axis) != 0) {
        a.fixed.data.insert(a.fixed.data.end(), {double(glob - 1), double(axis - 1), nt.known(glob, axis)});
        ++a.fixed.shape[0];
      }
      if (nt.point(glob, axis) != 0.0) {
        a.loads.data.insert(a.loads.data.end(), {double(glob - 1), double(axis - 1), nt.point(glob, axis)});
        ++a.loads.shape[0];
      }
    }
  auto value = [&](const std::string& n) -> double {
    if (n == "lstol") return p.search.lstol;
    if (n == "maxls") return p.search.maxls;
    if (n == "mntol") return p.st.mntol;
    if (n == "maxminor") return p.st.maxminor;
    if (n == "maxmajor") return p.st.maxmajor;
    if (n == "maxlist") return p.search.maxlist;
    if (n == "young") return p.mat.young;
    if (n == "poisson") return p.mat.poisson;
    if (n == "thickness") return p.mat.thickness;
    if (n == "pressure" || n == "maxpressure") return p.load.pressure;
    return p.load.weight;  // density, maxweight
  };
  for (const std::string& n : solver_names(p.variant)) a.solver.emplace_back(n, value(n));
  for (const std::string& n : material_names(p.variant)) a.material.emplace_back(n, value(n));
  return a;
}

namespace {

// Every value of a shell record with its name, in the order of shell.txt.
std::vector<std::pair<const char*, double*>> shell_fields(shell_rec& s) {
  concrete_rec& c = s.concrete;
  steel_rec& st = s.steel;
  return {{"thick", &s.thick},          {"gravity", &s.gravity},      {"pressure", &s.pressure},    {"temp", &s.temp},
          {"concrete_ex", &c.ex},       {"concrete_nuxy", &c.nuxy},   {"concrete_dens", &c.dens},   {"concrete_alpx", &c.alpx},
          {"concrete_fc", &c.fc},       {"concrete_ft", &c.ft},       {"concrete_c1", &c.c1},       {"concrete_c2", &c.c2},
          {"steel_ex", &st.ex},         {"steel_dens", &st.dens},     {"steel_alpx", &st.alpx},     {"steel_vr", &st.vr}};
}

}  // namespace

std::vector<std::string> shell_names() {
  shell_rec s;
  std::vector<std::string> out;
  for (const auto& f : shell_fields(s)) out.emplace_back(f.first);
  return out;
}

shell_rec shell_from_values(const parameters& values) {
  // examples/shell.txt
  shell_rec s;
  s.thick = 0.12;
  s.gravity = 9.81;
  s.pressure = -1000.0;
  s.temp = 20.0;
  s.concrete = {1, 3.0e10, 0.2, 2500, 1.0e-5, 0.0, -1, 3.0e6, 0.3, 0.9};
  s.steel = {2, 2.0e11, 7850, 1.2e-5, 0.0, 0.01};
  auto fields = shell_fields(s);
  for (std::size_t i = 0; i < values.size(); ++i) {
    const auto& [name, v] = values[i];
    double* at = nullptr;
    for (const auto& f : fields)
      if (name == f.first) at = f.second;
    if (at == nullptr) fail("shell", "unknown value \"" + name + "\" (shell.txt holds " + joined(shell_names()) + ")");
    for (std::size_t j = 0; j < i; ++j)
      if (values[j].first == name) fail("shell", "value " + name + " is given twice");
    std::string what = name;
    if (what.rfind("concrete_", 0) == 0 || what.rfind("steel_", 0) == 0) what[what.find('_')] = ' ';
    *at = real("shell", v, what.c_str());
  }
  const concrete_rec& c = s.concrete;
  const steel_rec& st = s.steel;
  if (!(s.thick > 0.0)) fail("shell", "the shell thickness thick must be greater than 0");
  if (!(c.ex > 0.0)) fail("shell", "Young's modulus of the concrete ex must be greater than 0, found " + exact(c.ex));
  if (!(c.nuxy > -1.0 && c.nuxy <= 0.5))
    fail("shell", "Poisson's ratio of the concrete nuxy must lie in -1 < nuxy <= 0.5, found " + exact(c.nuxy));
  if (!(c.dens >= 0.0)) fail("shell", "the density of the concrete dens must not be negative, found " + exact(c.dens));
  if (!(st.ex > 0.0)) fail("shell", "Young's modulus of the steel ex must be greater than 0, found " + exact(st.ex));
  if (!(st.dens >= 0.0)) fail("shell", "the density of the steel dens must not be negative, found " + exact(st.dens));
  if (!(st.vr >= 0.0 && st.vr <= 1.0)) fail("shell", "the reinforcement ratio vr must lie in 0..1, found " + exact(st.vr));
  return s;
}

parameters shell_values(const shell_rec& s) {
  shell_rec copy = s;
  parameters out;
  for (const auto& f : shell_fields(copy)) out.emplace_back(f.first, *f.second);
  return out;
}

}  // namespace domica
