#include "common/input.h"

#include <cmath>
#include <vector>

#include "common/failure.h"
#include "common/text.h"

namespace domica {

namespace {

std::string num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

const char* program_name(program p) {
  switch (p) {
    case program::domica_1: return "domica_1";
    case program::domica_2: return "domica_2";
    default: return "domica_3";
  }
}

// End of a parameter record. The parameter blocks differ between the
// programs, so a number right after the last value most likely means a file
// written for another program: that is reported instead of being read shifted.
void end_parameters(const model& m, text_file& t) {
  std::string extra = number_on_line(t);
  if (!extra.empty())
    input_error(t, t.line,
                std::string("more values on this line than ") + program_name(m.variant) + " reads here (found " + quoted(extra) +
                    "); is this a file for another program?");
  end_record(t);
}

void solver_parameters(model& m, text_file& t) {
  scan(t, "the solver parameters");
  if (m.variant != program::domica_2) {
    m.lstol = read_real(t, "lstol");
    int line = t.line;
    if (!(m.lstol > 0.0)) input_error(t, line, "the line-search tolerance lstol must be greater than 0, found " + num(m.lstol));
    m.maxls = read_int(t, "maxls");
  }
  m.mntol = read_real(t, "mntol");
  if (!(m.mntol >= 0.0)) input_error(t, t.line, "the tolerance mntol must not be negative, found " + num(m.mntol));
  m.maxminor = read_int(t, "maxminor");
  if (m.variant != program::domica_1) m.maxmajor = read_int(t, "maxmajor");
  if (m.variant != program::domica_2) m.maxlist = read_int(t, "maxlist");
  end_parameters(m, t);
}

void material(model& m, text_file& t) {
  scan(t, "the material and load data");
  m.young = read_real(t, "young");
  if (!(m.young > 0.0)) input_error(t, t.line, "Young's modulus young must be greater than 0, found " + num(m.young));
  m.poisson = read_real(t, "poisson");
  // Plane-stress coefficients are finite and positive definite for -1 < poisson <= 0.5.
  if (!(m.poisson > -1.0 && m.poisson <= 0.5))
    input_error(t, t.line, "Poisson's ratio poisson must lie in -1 < poisson <= 0.5, found " + num(m.poisson));
  m.thickness = read_real(t, "thickness");
  if (!(m.thickness > 0.0)) input_error(t, t.line, "the thickness must be greater than 0, found " + num(m.thickness));
  switch (m.variant) {
    case program::domica_3:
      m.density = read_real(t, "density");
      m.pressure = read_real(t, "pressure");
      break;
    case program::domica_1:
      m.maxweight = read_real(t, "maxweight");
      break;
    case program::domica_2:
      m.maxweight = read_real(t, "maxweight");
      m.maxpressure = read_real(t, "maxpressure");
      break;
  }
  end_parameters(m, t);
}

int node_number(const model& m, text_file& t, const char* what) {
  int glob = read_int(t, what);
  if (glob < 1 || glob > m.nn)
    input_error(t, t.line, std::string("node number ") + std::to_string(glob) + " is outside 1.." + std::to_string(m.nn));
  return glob;
}

int axis_number(text_file& t) {
  int axis = read_int(t, "axis");
  if (axis < 1 || axis > 3) input_error(t, t.line, "axis " + std::to_string(axis) + " is outside 1..3 (x, y, z)");
  return axis;
}

void nodes(model& m, text_file& t) {
  scan(t, "the node list");
  m.nn = read_count(t, "nn, the number of nodes", 3);
  int count_line = t.line;
  // Three coordinates per node must stay within the 32-bit coordinate numbers.
  if (m.nn > 715827882) input_error(t, count_line, "too many nodes: " + std::to_string(m.nn));
  end_record(t);
  m.xo = fmat1(1, m.nn);
  m.yo = fmat1(1, m.nn);
  std::vector<char> seen(static_cast<std::size_t>(m.nn) + 1, 0);
  skip_line(t, "the node list");
  for (int k = 1; k <= m.nn; ++k) {
    int glob = node_number(m, t, "node number");
    m.xo(glob) = read_real(t, "plan x");
    m.yo(glob) = read_real(t, "plan y");
    seen[glob] = 1;
    end_record(t);
  }
  for (int glob = 1; glob <= m.nn; ++glob)
    if (!seen[glob])
      input_error(t, count_line, "node " + std::to_string(glob) + " has no record in the node list (a node number is given twice)");
}

void triangles(model& m, text_file& t) {
  scan(t, "the triangle list");
  m.ne = read_count(t, "ne, the number of triangles", 4);
  int count_line = t.line;
  end_record(t);
  m.cst = cst_vec(1, m.ne);
  std::vector<char> seen(static_cast<std::size_t>(m.ne) + 1, 0);
  skip_line(t, "the triangle list");
  for (int k = 1; k <= m.ne; ++k) {
    int e = read_int(t, "element number");
    int line = t.line;
    if (e < 1 || e > m.ne)
      input_error(t, line, "element number " + std::to_string(e) + " is outside 1.." + std::to_string(m.ne));
    int g1 = node_number(m, t, "corner node");
    int g2 = node_number(m, t, "corner node");
    int g3 = node_number(m, t, "corner node");
    std::string nodes = std::to_string(g1) + ", " + std::to_string(g2) + ", " + std::to_string(g3);
    if (g1 == g2 || g2 == g3 || g1 == g3)
      input_error(t, line, "element " + std::to_string(e) + " names a node twice (nodes " + nodes + ")");
    double aux = plan_aux(m.xo(g1), m.yo(g1), m.xo(g2), m.yo(g2), m.xo(g3), m.yo(g3));
    if (aux == 0.0 || !std::isfinite(aux))
      input_error(t, line, "element " + std::to_string(e) + " has collinear plan corners, zero plan area (nodes " + nodes + ")");
    m.cst(e).glob(1) = g1;
    m.cst(e).glob(2) = g2;
    m.cst(e).glob(3) = g3;
    seen[e] = 1;
    end_record(t);
  }
  for (int e = 1; e <= m.ne; ++e)
    if (!seen[e])
      input_error(t, count_line, "element " + std::to_string(e) + " has no record in the triangle list (an element number is given twice)");
}

void fixed_coordinates(model& m, text_file& t) {
  if (m.variant != program::domica_2) {
    m.known = fmat2(1, m.nn, 1, 3);
    m.known.fill(0.0);
  }
  m.index = imat2(1, m.nn, 1, 3);
  m.index.fill(0);
  scan(t, "the fixed coordinates");
  int nk = read_count(t, "nk, the number of fixed coordinates", m.variant == program::domica_2 ? 2 : 3);
  end_record(t);
  if (nk > 0) {
    skip_line(t, "the fixed coordinates");
    for (int k = 1; k <= nk; ++k) {
      int glob = node_number(m, t, "node number");
      int axis = axis_number(t);
      if (m.variant != program::domica_2) m.known(glob, axis) = read_real(t, "prescribed displacement");
      end_record(t);
      m.index(glob, axis) = 1;
    }
  }
}

void point_loads(model& m, text_file& t) {
  fmat2& loads = m.variant == program::domica_3 ? m.ff : m.maxforce;
  loads = fmat2(1, m.nn, 1, 3);
  loads.fill(0.0);
  scan(t, "the point loads");
  int nf = read_count(t, "nf, the number of point loads", 3);
  end_record(t);
  if (nf > 0) {
    skip_line(t, "the point loads");
    for (int k = 1; k <= nf; ++k) {
      int glob = node_number(m, t, "node number");
      int axis = axis_number(t);
      loads(glob, axis) = read_real(t, "load");
      end_record(t);
    }
  }
}

}  // namespace

void input(model& m, const std::string& path, const std::string& name) {
  text_file t = open_text(path, name);
  input(m, t);
}

void input(model& m, text_file& t) {
  solver_parameters(m, t);
  material(m, t);
  nodes(m, t);
  triangles(m, t);
  fixed_coordinates(m, t);
  point_loads(m, t);
}

}  // namespace domica
