#include "io/input.h"

#include <cmath>
#include <vector>

#include "model/failure.h"
#include "io/parameters.h"
#include "io/text.h"
#include "model/problem.h"

namespace domica {

namespace {

// End of a parameter record. The parameter blocks differ between the
// programs, so a number right after the last value most likely means a file
// written for another program: that is reported instead of being read shifted.
void end_parameters(const problem& p, text_file& t) {
  std::string extra = number_on_line(t);
  if (!extra.empty())
    input_error(t, t.line,
                std::string("more values on this line than ") + program_name(p.variant) + " reads here (found " + quoted(extra) +
                    "); is this a file for another program?");
  end_record(t);
}

// The values of a parameter record, read one after the other. A value that
// cannot be read where the line's values ran out (or, for an integer, where a
// real stands) most likely means a file written for another program, and the
// message says so.
struct parameter_reader {
  const problem& p;
  text_file& t;
  int record_line = 0;  // line of the record's first value (0: none read yet)

  template <class Read>
  auto value(bool integer, Read read) {
    bool shifted = record_line > 0 && values_shifted(t, record_line, integer);
    try {
      auto v = read();
      if (record_line == 0) record_line = t.line;
      return v;
    } catch (const failure& f) {
      if (!shifted) throw;
      throw failure(f.status, std::string(f.what()) + "; is this a file for another program?");
    }
  }
  std::int32_t integer(const char* what) { return value(true, [&] { return read_int(t, what); }); }
  double real(const char* what) { return value(false, [&] { return read_real(t, what); }); }
  // A count of steps or iterations: zero has a meaning of its own, a negative count none.
  std::int32_t steps(const char* what) {
    std::int32_t v = integer(what);
    if (v < 0) input_error(t, t.line, std::string(what) + " must be at least 0, found " + std::to_string(v));
    return v;
  }
};

void solver_parameters(problem& p, text_file& t) {
  scan(t, "the solver parameters");
  parameter_reader r{p, t};
  solver_values(p, r, [&](const std::string& message) { input_error(t, t.line, message); });
  end_parameters(p, t);
}

void material_and_loads(problem& p, text_file& t) {
  scan(t, "the material and load data");
  parameter_reader r{p, t};
  material_values(p, r, [&](const std::string& message) { input_error(t, t.line, message); });
  end_parameters(p, t);
}

// The records of a list after its heading line. When the line taken for the
// heading held values only, a failure among the records most likely means the
// heading is missing (its first record was passed over): reported as such at
// the line of the count.
template <class Body>
void after_heading(text_file& t, const char* section, int count_line, Body records) {
  int heading_line = t.line;
  if (!skip_line(t, section)) {
    records();
    return;
  }
  try {
    records();
  } catch (const failure&) {
    input_error(t, count_line,
                std::string("the heading line of ") + section + " is missing after its count: line " + std::to_string(heading_line) +
                    " holds values, so it was passed over as the heading");
  }
}

int node_number(const problem& p, text_file& t, const char* what) {
  int glob = read_int(t, what);
  if (glob < 1 || glob > p.nt.nn)
    input_error(t, t.line, std::string("node number ") + std::to_string(glob) + " is outside 1.." + std::to_string(p.nt.nn));
  return glob;
}

int axis_number(text_file& t) {
  int axis = read_int(t, "axis");
  if (axis < 1 || axis > 3) input_error(t, t.line, "axis " + std::to_string(axis) + " is outside 1..3 (x, y, z)");
  return axis;
}

// Every number 1..count must have been named by a record (seen[k] set); the
// first one missing is reported at the line of the count.
void all_named(const text_file& t, int count_line, const std::vector<char>& seen, const std::string& what) {
  const char* list = what == "node" ? "node list" : "triangle list";
  for (std::size_t k = 1; k < seen.size(); ++k)
    if (!seen[k])
      input_error(t, count_line, what + " " + std::to_string(k) + " has no record in the " + list + " (a" +
                                     (what == "element" ? "n " : " ") + what + " number is given twice)");
}

void nodes(problem& p, text_file& t) {
  scan(t, "the node list");
  p.nt.nn = read_count(t, "nn, the number of nodes", 3);
  int count_line = t.line;
  // Three coordinates per node must stay within the 32-bit coordinate numbers.
  if (p.nt.nn > 715827882) input_error(t, count_line, "too many nodes: " + std::to_string(p.nt.nn));
  end_record(t);
  p.nt.xo = fmat1(p.nt.nn);
  p.nt.yo = fmat1(p.nt.nn);
  std::vector<char> seen(static_cast<std::size_t>(p.nt.nn) + 1, 0);
  after_heading(t, "the node list", count_line, [&] {
    for (int k = 1; k <= p.nt.nn; ++k) {
      int glob = node_number(p, t, "node number");
      p.nt.xo(glob) = read_real(t, "plan x");
      p.nt.yo(glob) = read_real(t, "plan y");
      seen[glob] = 1;
      end_record(t);
    }
    all_named(t, count_line, seen, "node");
  });
}

// The ne triangle records; seen[e] is set for each element number e read.
void triangle_records(problem& p, text_file& t, int count_line, std::vector<char>& seen) {
  for (int k = 1; k <= p.nt.ne; ++k) {
    int e = read_int(t, "element number");
    int line = t.line;
    if (e < 1 || e > p.nt.ne)
      input_error(t, line, "element number " + std::to_string(e) + " is outside 1.." + std::to_string(p.nt.ne));
    int g1 = node_number(p, t, "corner node");
    int g2 = node_number(p, t, "corner node");
    int g3 = node_number(p, t, "corner node");
    std::string nodes = std::to_string(g1) + ", " + std::to_string(g2) + ", " + std::to_string(g3);
    if (g1 == g2 || g2 == g3 || g1 == g3)
      input_error(t, line, "element " + std::to_string(e) + " names a node twice (nodes " + nodes + ")");
    double aux = plan_aux(p.nt.xo(g1), p.nt.yo(g1), p.nt.xo(g2), p.nt.yo(g2), p.nt.xo(g3), p.nt.yo(g3));
    if (aux == 0.0 || !std::isfinite(aux))
      input_error(t, line, "element " + std::to_string(e) + " has collinear plan corners, zero plan area (nodes " + nodes + ")");
    p.nt.tri(e)(1) = g1;
    p.nt.tri(e)(2) = g2;
    p.nt.tri(e)(3) = g3;
    seen[e] = 1;
    end_record(t);
  }
  all_named(t, count_line, seen, "element");
}

void triangles(problem& p, text_file& t) {
  scan(t, "the triangle list");
  p.nt.ne = read_count(t, "ne, the number of triangles", 4);
  int count_line = t.line;
  end_record(t);
  p.nt.tri = arr1<fixed1<std::int32_t, 3>>(p.nt.ne);
  std::vector<char> seen(static_cast<std::size_t>(p.nt.ne) + 1, 0);
  after_heading(t, "the triangle list", count_line, [&] { triangle_records(p, t, count_line, seen); });
}

// A section of (node, axis, ...) records: its count of at least `tokens`
// values per record, the heading line, then each record handed to
// record(glob, axis) to read the rest of its values.
template <class Record>
void node_axis_records(const problem& p, text_file& t, const char* section, const char* count, int tokens, Record record) {
  scan(t, section);
  int nk = read_count(t, count, tokens);
  int count_line = t.line;
  end_record(t);
  if (nk == 0) return;
  after_heading(t, section, count_line, [&] {
    for (int k = 1; k <= nk; ++k) {
      int glob = node_number(p, t, "node number");
      int axis = axis_number(t);
      record(glob, axis);
      end_record(t);
    }
  });
}

void fixed_coordinates(problem& p, text_file& t) {
  // domica_2 reads no prescribed displacements: fixed coordinates stay at the plan.
  p.nt.known = fmat2(p.nt.nn, 3);
  p.nt.fixed = imat2(p.nt.nn, 3);
  bool values = p.variant != program::domica_2;
  node_axis_records(p, t, "the fixed coordinates", "nk, the number of fixed coordinates", values ? 3 : 2, [&](int glob, int axis) {
    if (values) p.nt.known(glob, axis) = read_real(t, "prescribed displacement");
    p.nt.fixed(glob, axis) = 1;
  });
}

void point_loads(problem& p, text_file& t) {
  p.nt.point = fmat2(p.nt.nn, 3);
  node_axis_records(p, t, "the point loads", "nf, the number of point loads", 3,
                    [&](int glob, int axis) { p.nt.point(glob, axis) = read_real(t, "load"); });
}

}  // namespace

problem input(program variant, const std::string& path, const std::string& name) {
  text_file t = open_text(path, name);
  return input(variant, t);
}

problem input(program variant, text_file& t) {
  problem p;
  p.variant = variant;
  solver_parameters(p, t);
  material_and_loads(p, t);
  nodes(p, t);
  triangles(p, t);
  fixed_coordinates(p, t);
  point_loads(p, t);
  return p;
}

}  // namespace domica
