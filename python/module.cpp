// The compiled part of the Python module domica: problems from weblar.txt or
// from numpy arrays, the three solutions with the GIL released, their results
// as numpy arrays and dicts, and the console's result files. A caller of the
// library like app/, but it prints nothing: progress goes to the caller's
// callable, failures become Python exceptions.
//
// Node, triangle and axis numbers are 0-based throughout the Python side.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <cmath>
#include <string>
#include <vector>

#include "domica/version.h"
#include "domica_1/driver.h"
#include "domica_2/driver.h"
#include "domica_3/driver.h"
#include "io/arrays.h"
#include "io/ccx.h"
#include "io/input.h"
#include "io/outfile.h"
#include "io/results.h"
#include "io/shell.h"
#include "io/summary.h"
#include "io/vtu.h"
#include "mechanics/setup.h"
#include "model/failure.h"
#include "model/number.h"
#include "model/support_check.h"
#include "solve/design.h"

namespace py = pybind11;
using namespace domica;

namespace {

// ---------------------------------------------------------------- problems

// A problem with the shell data its ANSYS model needs and the warnings of
// check_supports.
struct py_problem {
  problem p;
  shell_rec shell;
  std::vector<std::string> warnings;
};
using problem_ptr = std::shared_ptr<py_problem>;

program program_of(const py::handle& h) {
  if (py::isinstance<py::int_>(h) && !py::isinstance<py::bool_>(h)) {
    int k = h.cast<int>();
    if (k >= 1 && k <= 3) return static_cast<program>(k - 1);
  } else if (py::isinstance<py::str>(h)) {
    std::string s = h.cast<std::string>();
    for (program v : {program::domica_1, program::domica_2, program::domica_3})
      if (s == program_name(v)) return v;
  }
  throw py::value_error("program must be \"domica_1\", \"domica_2\" or \"domica_3\" (or 1, 2, 3), found " +
                        py::repr(h).cast<std::string>());
}

// A numpy-convertible object as a table of doubles; None is an empty table.
table table_of(const py::handle& h, const char* name) {
  table t;
  if (h.is_none()) return t;
  auto a = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(h);
  if (!a) {
    PyErr_Clear();
    throw failure(exit_input, std::string(name) + ": expected a table of numbers, found " + quoted(py::repr(h).cast<std::string>()));
  }
  for (py::ssize_t k = 0; k < a.ndim(); ++k) t.shape.push_back(static_cast<std::size_t>(a.shape(k)));
  t.data.assign(a.data(), a.data() + a.size());
  return t;
}

parameters parameters_of(const py::handle& h, const char* name) {
  parameters out;
  if (h.is_none()) return out;
  if (!py::isinstance<py::dict>(h)) throw failure(exit_input, std::string(name) + ": expected a dict of named values");
  for (auto [k, v] : py::reinterpret_borrow<py::dict>(h)) {
    if (!py::isinstance<py::str>(k)) throw failure(exit_input, std::string(name) + ": parameter names must be strings, found " + py::repr(k).cast<std::string>());
    std::string key = k.cast<std::string>();
    double value = 0.0;
    try {
      value = py::float_(py::reinterpret_borrow<py::object>(v)).cast<double>();
    } catch (const py::error_already_set&) {
      throw failure(exit_input, std::string(name) + ": expected a number (" + key + "), found " + py::repr(v).cast<std::string>());
    }
    out.emplace_back(key, value);
  }
  return out;
}

// The counts among the parameters come back as ints.
py::dict dict_of(const parameters& ps) {
  py::dict d;
  for (const auto& [k, v] : ps) {
    bool count = k == "maxls" || k == "maxminor" || k == "maxmajor" || k == "maxlist";
    d[py::str(k)] = count ? py::object(py::int_(static_cast<long>(v))) : py::object(py::float_(v));
  }
  return d;
}

py::array_t<double> array_of(const table& t) {
  std::vector<py::ssize_t> shape(t.shape.begin(), t.shape.end());
  py::array_t<double> a(shape);
  std::copy(t.data.begin(), t.data.end(), a.mutable_data());
  return a;
}

py::array_t<std::int64_t> index_array_of(const table& t) {
  std::vector<py::ssize_t> shape(t.shape.begin(), t.shape.end());
  py::array_t<std::int64_t> a(shape);
  for (std::size_t k = 0; k < t.data.size(); ++k) a.mutable_data()[k] = static_cast<std::int64_t>(t.data[k]);
  return a;
}

problem_ptr make_problem(const py::object& program_, const py::object& nodes, const py::object& triangles, const py::object& fixed,
                         const py::object& loads, const py::object& material, const py::object& solver, const py::object& shell) {
  auto pb = std::make_shared<py_problem>();
  plain_problem a;
  a.nodes = table_of(nodes, "nodes");
  a.triangles = table_of(triangles, "triangles");
  a.fixed = table_of(fixed, "fixed");
  a.loads = table_of(loads, "loads");
  a.material = parameters_of(material, "material");
  a.solver = parameters_of(solver, "solver");
  parameters sh = parameters_of(shell, "shell");
  program variant = program_of(program_);
  {
    py::gil_scoped_release nogil;
    pb->p = problem_from_arrays(variant, a);
    pb->shell = shell_from_values(sh);
    pb->warnings = check_supports(pb->p, support_wording{"", 0, "triangle"});
  }
  return pb;
}

std::string path_of(const py::object& folder) { return py::module_::import("os").attr("fspath")(folder).cast<std::string>(); }

problem_ptr read_problem(const py::object& folder, const py::object& program_) {
  std::string dir = path_of(folder);
  program variant = program_of(program_);
  auto pb = std::make_shared<py_problem>();
  py::gil_scoped_release nogil;
  pb->p = input(variant, in_folder(dir, "weblar.txt"), "weblar.txt");
  std::string shell = in_folder(dir, "shell.txt");
  std::error_code ec;
  pb->shell = std::filesystem::exists(shell, ec) ? read_shell(shell, "shell.txt") : shell_from_values({});
  pb->warnings = check_supports(pb->p);
  return pb;
}

py::tuple problem_state(const py_problem& pb) {
  plain_problem a = arrays_of(pb.p);
  return py::make_tuple(program_name(pb.p.variant), array_of(a.nodes), index_array_of(a.triangles), array_of(a.fixed), array_of(a.loads),
                        dict_of(a.material), dict_of(a.solver), dict_of(shell_values(pb.shell)));
}

problem_ptr problem_from_state(const py::tuple& s) {
  if (s.size() != 8) throw py::value_error("not the state of a domica.Problem");
  return make_problem(s[0], s[1], s[2], s[3], s[4], s[5], s[6], s[7]);
}

// ---------------------------------------------------------------- progress

const char* measure_name(progress_kind k) {
  switch (k) {
    case progress_kind::minimiser_calls: return "minimiser_calls";
    case progress_kind::line_searches: return "line_searches";
    case progress_kind::newton_iterations: return "newton_iterations";
  }
  return "";
}

// Hands the solution's events to the caller's callable as dicts {"kind": ...}
// and looks for Ctrl-C. The hooks run on the solving thread with the GIL
// released; each takes it only for as long as it talks to Python: for an
// event when there is a callable, and every 50 ms on Python's main thread
// (the only one that sees signals) to look for a pending KeyboardInterrupt.
// A callable that raises, or the interrupt, ends the solution with that
// exception (py::error_already_set unwinds the solve).
class py_observer : public observer {
 public:
  // Made with the GIL held.
  explicit py_observer(py::object progress)
      : progress_(std::move(progress)),
        signals_(py::module_::import("threading").attr("main_thread")().attr("ident").cast<unsigned long>() == PyThread_get_thread_ident()) {}

  void started() override { emit("started", [](py::dict&) {}); }
  void run(progress_kind kind, int steps) override {
    emit("run", [&](py::dict& d) {
      d["measure"] = measure_name(kind);
      d["steps"] = steps;
    });
  }
  void step(int step) override { emit("step", [&](py::dict& d) { d["step"] = step; }); }
  void iteration(int minor, double norm, double maxnorm) override {
    poll();
    emit("iteration", [&](py::dict& d) {
      d["minor"] = minor;
      d["norm"] = norm;
      d["target"] = maxnorm;
    });
  }
  // Once per energy evaluation: the look for Ctrl-C, and with a callable a
  // search event four times a second.
  bool due() override {
    poll();
    if (progress_.is_none()) return false;
    auto now = clock_type::now();
    if (now - searched_ < std::chrono::milliseconds(250)) return false;
    searched_ = now;
    return true;
  }
  void search(double norm, double maxnorm) override {
    emit("search", [&](py::dict& d) {
      d["norm"] = norm;
      d["target"] = maxnorm;
    });
  }
  void step_end(double norm, double maxnorm) override {
    emit("step_end", [&](py::dict& d) {
      d["norm"] = norm;
      d["target"] = maxnorm;
      d["converged"] = norm <= maxnorm;
    });
  }
  void note(const std::string& text) override { emit("note", [&](py::dict& d) { d["text"] = text; }); }
  void line(const std::string& text) override { emit("line", [&](py::dict& d) { d["text"] = text; }); }
  void warning(const std::string& text) override { emit("warning", [&](py::dict& d) { d["text"] = text; }); }

 private:
  using clock_type = std::chrono::steady_clock;

  void poll() {
    if (!signals_) return;
    auto now = clock_type::now();
    if (now - checked_ < std::chrono::milliseconds(50)) return;
    checked_ = now;
    py::gil_scoped_acquire gil;
    if (PyErr_CheckSignals() != 0) throw py::error_already_set();
  }

  template <class Fill>
  void emit(const char* kind, Fill fill) {
    if (progress_.is_none()) return;
    py::gil_scoped_acquire gil;
    if (signals_ && PyErr_CheckSignals() != 0) throw py::error_already_set();
    py::dict d;
    d["kind"] = kind;
    fill(d);
    progress_(d);
  }

  py::object progress_;
  bool signals_;  // on Python's main thread
  clock_type::time_point checked_ = clock_type::now();
  clock_type::time_point searched_ = clock_type::now();
};

// ---------------------------------------------------------------- results

struct py_result {
  problem_ptr pb;
  solution_result r;
};
using result_ptr = std::shared_ptr<py_result>;

solve_fn program_solve(program variant) {
  switch (variant) {
    case program::domica_1: return solve_domica_1;
    case program::domica_2: return solve_domica_2;
    case program::domica_3: break;
  }
  return solve_domica_3;
}

// The program's solution, or the designer's forms around it (solve/design.h).
solution_result solve_problem(const problem& p, const solve_options& so, const design_goal& goal, observer& obs) {
  if (goal.rise || goal.upright) return solve_design(program_solve(p.variant), p, goal, so, obs);
  return program_solve(p.variant)(p, so, obs);
}

result_ptr solve(const problem_ptr& pb, const py::object& threads, const py::object& solver, const py::object& rise, bool upright,
                 const py::object& progress, const py::object& method) {
  design_goal goal;
  goal.upright = upright;
  if (!rise.is_none()) {
    double h = rise.cast<double>();
    if (!(h > 0.0) || !std::isfinite(h)) throw py::value_error("rise must be a number above 0, found " + std::to_string(h));
    goal.rise = h;
  }
  solve_options so;
  so.forces = true;
  if (!threads.is_none()) {
    long n = threads.cast<long>();
    if (n < 1 || n > 1024) throw py::value_error("threads must be a number of threads from 1 to 1024, found " + std::to_string(n));
    so.threads = static_cast<int>(n);
  }
  if (!solver.is_none()) {
    std::string s = solver.cast<std::string>();
    if (pb->p.variant != program::domica_2) throw py::value_error("solver chooses domica_2's linear solver; this is a " + std::string(program_name(pb->p.variant)) + " problem");
    if (s == "band") so.solver = linear_kind::band;
    else if (s == "dense") so.solver = linear_kind::dense;
    else if (s == "sparse") so.solver = linear_kind::sparse;
    else throw py::value_error("solver must be \"band\", \"dense\" or \"sparse\", found \"" + s + "\"");
  }
  if (!method.is_none()) {
    std::string s = method.cast<std::string>();
    if (pb->p.variant == program::domica_2) throw py::value_error("method chooses the minimiser of domica_3 and domica_1; this is a domica_2 problem");
    if (s == "lbfgs") so.method = minimiser::lbfgs;
    else if (s == "newton") so.method = minimiser::newton;
    else throw py::value_error("method must be \"lbfgs\" or \"newton\", found \"" + s + "\"");
  }
  if (!progress.is_none() && !PyCallable_Check(progress.ptr())) throw py::type_error("progress must be a callable or None");
  py_observer obs(progress);
  auto res = std::make_shared<py_result>();
  res->pb = pb;
  {
    // Each solution keeps its own energy buffers and threads, so solutions on
    // other Python threads run at the same time.
    py::gil_scoped_release nogil;
    res->r = solve_problem(pb->p, so, goal, obs);
  }
  return res;
}

py::array_t<double> matrix_of(const fmat2& m) {
  py::array_t<double> a({static_cast<py::ssize_t>(m.rows()), static_cast<py::ssize_t>(m.cols())});
  std::copy(m.data(), m.data() + m.size(), a.mutable_data());
  return a;
}

py::array_t<double> displacements(const py_result& res) {
  const net& nt = res.pb->p.nt;
  numbering d = number(nt);
  py::array_t<double> a({static_cast<py::ssize_t>(nt.nn), py::ssize_t{3}});
  auto v = a.mutable_unchecked<2>();
  for (int glob = 1; glob <= nt.nn; ++glob)
    for (int axis = 1; axis <= 3; ++axis) v(glob - 1, axis - 1) = displacement(nt, d, res.r.x, glob, axis);
  return a;
}

py::dict forces_of(const py_result& res) {
  const membrane_forces& f = *res.r.forces;
  const py::ssize_t ne = f.tri.hi(), nn = f.node.rows();
  py::array_t<double> n11(ne), n22(ne), n12(ne), n1(ne), n2(ne), ratio(ne), area(ne), dir({ne, py::ssize_t{3}}), n1n(nn), n2n(nn);
  for (int e = 1; e <= ne; ++e) {
    const tri_force& t = f.tri(e);
    n11.mutable_at(e - 1) = t.n11;
    n22.mutable_at(e - 1) = t.n22;
    n12.mutable_at(e - 1) = t.n12;
    n1.mutable_at(e - 1) = t.n1;
    n2.mutable_at(e - 1) = t.n2;
    ratio.mutable_at(e - 1) = t.ratio;
    area.mutable_at(e - 1) = t.area;
    for (int k = 1; k <= 3; ++k) dir.mutable_at(e - 1, k - 1) = t.dir(k);
  }
  for (int glob = 1; glob <= nn; ++glob) {
    n1n.mutable_at(glob - 1) = f.node(glob, 1);
    n2n.mutable_at(glob - 1) = f.node(glob, 2);
  }
  py::dict d;
  d["n11"] = n11, d["n22"] = n22, d["n12"] = n12, d["n1"] = n1, d["n2"] = n2;
  d["direction"] = dir, d["ratio"] = ratio, d["area"] = area;
  d["n1_node"] = n1n, d["n2_node"] = n2n;
  return d;
}

int status_of(const solution_result& r) { return r.end.unconverged.empty() ? exit_ok : exit_unconverged; }

py::object or_none(bool there, py::object v) { return there ? v : py::none(); }

py::dict summary_of(const py_result& res) {
  const net& nt = res.pb->p.nt;
  const solution_result& r = res.r;
  const membrane_forces& f = *r.forces;
  const shell_figures s = figures(nt, r.sf, f);
  py::dict d;
  d["program"] = program_name(r.variant);
  d["converged"] = r.end.unconverged.empty();
  d["status"] = status_of(r);
  d["steps"] = r.counts.steps;
  d["unconverged_steps"] = r.counts.unconverged_steps;
  d["calls"] = r.counts.calls;
  d["iterations"] = r.counts.minor;
  d["norm"] = r.counts.norm;
  d["target"] = r.counts.maxnorm;
  d["rise"] = s.rise;
  d["span"] = s.span;
  d["highest_node"] = or_none(r.highest > 0, py::int_(r.highest - 1));
  d["highest_z"] = or_none(r.highest > 0, py::float_(s.top));
  d["lowest_node"] = or_none(r.lowest > 0, py::int_(r.lowest - 1));
  d["lowest_z"] = or_none(r.lowest > 0, py::float_(s.bottom));
  d["largest_tension"] = or_none(s.most > 0, py::float_(s.tension));
  d["tension_triangle"] = or_none(s.most > 0, py::int_(s.most - 1));
  d["largest_compression"] = or_none(s.least > 0, py::float_(s.compression));
  d["compression_triangle"] = or_none(s.least > 0, py::int_(s.least - 1));
  d["compression_share"] = s.area > 0.0 ? s.compressed / s.area : 0.0;
  d["upright"] = r.upright;
  d["young"] = or_none(r.rise.has_value(), py::float_(r.rise ? r.rise->young : 0.0));
  d["solutions"] = r.rise ? r.rise->solutions : 1;
  d["seconds"] = r.seconds;
  return d;
}

// The files of the console run, made and written in its order (app/run.cpp).
std::vector<std::string> write_files(const py_result& res, const py::object& folder, bool vtu, bool ccx) {
  std::string dir = path_of(folder);
  const net& nt = res.pb->p.nt;
  const solution_result& r = res.r;
  py::gil_scoped_release nogil;
  std::vector<out_file> files;
  if (vtu) files.push_back({in_folder(dir, "shell.vtu"), "shell.vtu", vtu_text(nt, r.sf, *r.forces)});
  if (ccx) files.push_back({in_folder(dir, "shell.inp"), "shell.inp", ccx_text(nt, r.sf.pos, shell_deck(res.pb->shell))});
  write_results(dir, nt, r.sf, res.pb->shell, files);
  std::vector<std::string> written{in_folder(dir, "autocad.scr"), in_folder(dir, "ansys.txt")};
  for (const out_file& f : files) written.push_back(f.path);
  return written;
}

py::tuple result_state(const py_result& res) {
  const solution_result& r = res.r;
  py::array_t<double> x(static_cast<py::ssize_t>(r.x.size()));
  std::copy(r.x.data(), r.x.data() + r.x.size(), x.mutable_data());
  const run_counts& c = r.counts;
  py::dict counts;
  counts["kind"] = static_cast<int>(c.kind), counts["steps"] = c.steps, counts["unconverged_steps"] = c.unconverged_steps;
  counts["calls"] = c.calls, counts["minor"] = c.minor, counts["norm"] = c.norm, counts["maxnorm"] = c.maxnorm;
  counts["converged"] = c.converged;
  return py::make_tuple(problem_state(*res.pb), x, counts, r.end.unsettled, r.end.unconverged, r.seconds, r.end.full_load);
}

// The result again from its state: the surface and forces are made anew from
// the displacements, as the solution made them.
result_ptr result_from_state(const py::tuple& s) {
  // Six entries: a state pickled before the full-load line was kept.
  if (s.size() != 6 && s.size() != 7) throw py::value_error("not the state of a domica.Result");
  auto res = std::make_shared<py_result>();
  res->pb = problem_from_state(s[0].cast<py::tuple>());
  auto xa = s[1].cast<py::array_t<double, py::array::c_style | py::array::forcecast>>();
  py::dict c = s[2].cast<py::dict>();
  run_counts counts;
  counts.kind = static_cast<progress_kind>(c["kind"].cast<int>());
  counts.steps = c["steps"].cast<int>();
  counts.unconverged_steps = c["unconverged_steps"].cast<int>();
  counts.calls = c["calls"].cast<long long>();
  counts.minor = c["minor"].cast<long long>();
  counts.norm = c["norm"].cast<double>();
  counts.maxnorm = c["maxnorm"].cast<double>();
  counts.converged = c["converged"].cast<bool>();
  outcome end{s[3].cast<std::vector<std::string>>(), s[4].cast<std::string>(), s.size() == 7 ? s[6].cast<std::string>() : ""};
  const problem& p = res->pb->p;
  assembly as = setup(p);
  if (xa.ndim() != 1 || xa.shape(0) != as.d.n) throw py::value_error("the displacements of this state do not fit its problem");
  fmat1 x(as.d.n);
  std::copy(xa.data(), xa.data() + as.d.n, x.data());
  solve_options so;
  so.forces = true;
  res->r = make_result(p, as, x, so, std::move(end), counts, s[5].cast<double>());
  return res;
}

// ---------------------------------------------------------------- failures

PyObject* input_error = nullptr;
PyObject* solution_error = nullptr;

PyObject* new_error(py::module_& m, const char* name, PyObject* base, int status, const char* doc) {
  std::string full = std::string("domica.") + name;
  PyObject* cls = PyErr_NewExceptionWithDoc(full.c_str(), doc, base, nullptr);
  if (cls == nullptr) throw py::error_already_set();
  PyObject_SetAttrString(cls, "status", py::int_(status).ptr());
  m.add_object(name, py::handle(cls));
  return cls;
}

}  // namespace

PYBIND11_MODULE(_domica, m) {
  m.doc() = "The compiled part of domica; use the package domica.";
  m.attr("__version__") = DOMICA_VERSION;

  input_error = new_error(m, "InputError", PyExc_ValueError, exit_input,
                          "Bad input: the console programs end with status 2 and this message.");
  solution_error = new_error(m, "SolutionError", PyExc_RuntimeError, exit_solution,
                             "The solution failed (status 3): Line Search Failure, a singular tangent, a shape that is not finite.");
  py::register_exception_translator([](std::exception_ptr e) {
    try {
      if (e) std::rethrow_exception(e);
    } catch (const failure& f) {
      PyObject* cls = f.status == exit_input      ? input_error
                      : f.status == exit_solution ? solution_error
                      : f.status == exit_output   ? PyExc_OSError
                                                  : PyExc_RuntimeError;
      PyErr_SetString(cls, f.what());
    }
  });

  py::class_<py_problem, std::shared_ptr<py_problem>>(m, "Problem", R"doc(
A problem of one program from numpy arrays, checked as the console programs
check weblar.txt and shell.txt (domica.InputError names the array and row).

Problem(program, nodes, triangles, fixed, loads, material, solver, shell=None)

  program    "domica_1", "domica_2" or "domica_3" (or 1, 2, 3)
  nodes      (nn, 2) plan x, y
  triangles  (ne, 3) corner nodes 0..nn-1 (anticlockwise seen from above:
             a negative pressure lifts the net)
  fixed      (k, 3) rows node, axis 0..2 (x, y, z), prescribed displacement;
             domica_2 takes none: (k, 2), or a third column of zeros
  loads      (m, 3) rows node, axis, force
  material   dict: young, poisson, thickness, and density and pressure
             (domica_3), maxweight (domica_1), maxweight and maxpressure
             (domica_2)
  solver     dict: lstol maxls mntol maxminor maxmajor maxlist (domica_3),
             lstol maxls mntol maxminor maxlist (domica_1), mntol maxminor
             maxmajor (domica_2)
  shell      dict of the shell data for ansys.txt, keyed thick gravity
             pressure temp concrete_ex concrete_nuxy concrete_dens
             concrete_alpx concrete_fc concrete_ft concrete_c1 concrete_c2
             steel_ex steel_dens steel_alpx steel_vr; missing values are
             those of examples/shell.txt

A later row for the same coordinate replaces an earlier one. The attributes
give the problem back in this form; warnings lists what the console programs
print as warnings (nodes in no triangle, loads on fixed coordinates, ...).
)doc")
      .def(py::init(&make_problem), py::arg("program"), py::arg("nodes"), py::arg("triangles"), py::arg("fixed"), py::arg("loads"),
           py::arg("material"), py::arg("solver"), py::arg("shell") = py::none())
      .def_property_readonly("program", [](const py_problem& pb) { return program_name(pb.p.variant); })
      .def_property_readonly("nn", [](const py_problem& pb) { return pb.p.nt.nn; }, "number of nodes")
      .def_property_readonly("ne", [](const py_problem& pb) { return pb.p.nt.ne; }, "number of triangles")
      .def_property_readonly("nodes", [](const py_problem& pb) { return array_of(arrays_of(pb.p).nodes); }, "(nn, 2) plan x, y")
      .def_property_readonly("triangles", [](const py_problem& pb) { return index_array_of(arrays_of(pb.p).triangles); },
                             "(ne, 3) corner nodes, 0-based")
      .def_property_readonly("fixed", [](const py_problem& pb) { return array_of(arrays_of(pb.p).fixed); },
                             "(k, 3) node, axis, prescribed displacement of every fixed coordinate")
      .def_property_readonly("loads", [](const py_problem& pb) { return array_of(arrays_of(pb.p).loads); },
                             "(m, 3) node, axis, force of every non-zero point load")
      .def_property_readonly("material", [](const py_problem& pb) { return dict_of(arrays_of(pb.p).material); })
      .def_property_readonly("solver", [](const py_problem& pb) { return dict_of(arrays_of(pb.p).solver); })
      .def_property_readonly("shell", [](const py_problem& pb) { return dict_of(shell_values(pb.shell)); })
      .def_property_readonly("warnings", [](const py_problem& pb) { return pb.warnings; })
      .def("__repr__",
           [](const py_problem& pb) {
             return std::string("<domica.Problem ") + program_name(pb.p.variant) + ": " + std::to_string(pb.p.nt.nn) + " nodes, " +
                    std::to_string(pb.p.nt.ne) + " triangles>";
           })
      .def(py::pickle([](const py_problem& pb) { return problem_state(pb); },
                      [](const py::tuple& s) { return problem_from_state(s); }));

  py::class_<py_result, std::shared_ptr<py_result>>(m, "Result", R"doc(
The found shell of one solution (domica.solve). Node and triangle numbers are
0-based.

  positions      (nn, 3) found node positions
  displacements  (nn, 3) from the plan (x, y, 0)
  converged      whether the last load step met its target; status is the
                 console's exit status, 0 or 1 (results written, not converged)
  steps, unconverged_steps, calls, iterations, norm, target
                 load steps, minimiser calls (domica_3, domica_1), line
                 searches or Newton iterations, the final largest gradient
                 (out-of-balance) component and its target
  unsettled      lines for earlier load steps that ended above their target
  unconverged    the line of an unconverged end, or None
  forces         dict of per-triangle arrays n11 n22 n12 n1 n2 (force per
                 length in the triangle's frame, principal values), direction
                 (ne, 3) of n1, ratio (found over plan area), area, and the
                 node values n1_node, n2_node (nn)
  summary        dict of the designer's figures (rise, span, largest tension
                 and compression, share in compression, counts, seconds)
  summary_text   the console's designer's summary (its --vtu lines)
  problem        the Problem solved
  seconds        time of the solution
)doc")
      .def_property_readonly("problem", [](const py_result& r) { return r.pb; })
      .def_property_readonly("program", [](const py_result& r) { return program_name(r.r.variant); })
      .def_property_readonly("positions", [](const py_result& r) { return matrix_of(r.r.sf.pos); })
      .def_property_readonly("displacements", &displacements)
      .def_property_readonly("converged", [](const py_result& r) { return r.r.end.unconverged.empty(); })
      .def_property_readonly("status", [](const py_result& r) { return status_of(r.r); })
      .def_property_readonly("steps", [](const py_result& r) { return r.r.counts.steps; })
      .def_property_readonly("unconverged_steps", [](const py_result& r) { return r.r.counts.unconverged_steps; })
      .def_property_readonly("calls", [](const py_result& r) { return r.r.counts.calls; })
      .def_property_readonly("iterations", [](const py_result& r) { return r.r.counts.minor; })
      .def_property_readonly("norm", [](const py_result& r) { return r.r.counts.norm; })
      .def_property_readonly("target", [](const py_result& r) { return r.r.counts.maxnorm; })
      .def_property_readonly("measure", [](const py_result& r) { return measure_name(r.r.counts.kind); })
      .def_property_readonly("unsettled", [](const py_result& r) { return r.r.end.unsettled; })
      .def_property_readonly("unconverged",
                             [](const py_result& r) { return or_none(!r.r.end.unconverged.empty(), py::str(r.r.end.unconverged)); })
      .def_property_readonly("highest", [](const py_result& r) { return r.r.highest - 1; }, "node of the highest z")
      .def_property_readonly("lowest", [](const py_result& r) { return r.r.lowest - 1; }, "node of the lowest z")
      .def_property_readonly("seconds", [](const py_result& r) { return r.r.seconds; })
      .def_property_readonly("forces", &forces_of)
      .def_property_readonly("summary", &summary_of)
      .def_property_readonly("summary_text", [](const py_result& r) { return summary_text(r.pb->p.nt, r.r.sf, *r.r.forces); })
      .def("write", &write_files, py::arg("folder"), py::arg("vtu") = false, py::arg("ccx") = false, R"doc(
Write the console program's result files into folder (which must exist):
autocad.scr and ansys.txt, with vtu=True shell.vtu, with ccx=True shell.inp,
all made first and then written as one set, byte for byte what the console
program writes. Returns the paths written; a failure is an OSError.
)doc")
      .def("__repr__",
           [](const py_result& r) {
             return std::string("<domica.Result ") + program_name(r.r.variant) + ": " +
                    (r.r.end.unconverged.empty() ? "converged" : "NOT converged") + ", " + std::to_string(r.r.sf.pos.rows()) + " nodes>";
           })
      .def(py::pickle([](const py_result& r) { return result_state(r); },
                      [](const py::tuple& s) { return result_from_state(s); }));

  m.def("read_problem", [](const py::object& folder, const py::object& program_) { return read_problem(folder, program_); },
        py::arg("folder"), py::arg("program"), R"doc(
Read weblar.txt of folder for program ("domica_1", "domica_2", "domica_3"),
with every check of the console programs, and shell.txt when the folder has
one (else the values of examples/shell.txt). Bad input is a domica.InputError
with the console's message.
)doc");

  m.def("solve",
        [](const std::shared_ptr<py_problem>& pb, const py::object& threads, const py::object& solver, const py::object& rise,
           bool upright, const py::object& progress,
           const py::object& method) { return solve(pb, threads, solver, rise, upright, progress, method); },
        py::arg("problem"), py::arg("threads") = py::none(), py::arg("solver") = py::none(), py::arg("rise") = py::none(),
        py::arg("upright") = false, py::arg("progress") = py::none(), py::arg("method") = py::none(), R"doc(
Solve a Problem with its program; returns a Result (the membrane forces always
worked out). The GIL is released while it runs, so other Python threads go on.

  threads   threads of the membrane energy (domica_3, domica_1); None: one per
            core. The results do not depend on it.
  solver    domica_2's linear solver: "band" (the default), "dense", "sparse"
  method    the minimiser of domica_3 and domica_1: "lbfgs" (the default) or
            "newton" (sparse Newton, for fine nets; agrees with lbfgs to the
            tolerance, not to the last digit)
  rise      find the form of this rise (highest minus lowest node) by scaling
            young, as the console's --rise; result.summary["young"] and
            ["solutions"] say what it took
  upright   the compression shell mirrored from the hanging form (--upright);
            a load acting upwards is an InputError
  progress  a callable given each event as a dict with a "kind": started, run
            (measure, steps), step (step), iteration (minor, norm, target),
            search (norm, target; a few times a second inside a minimisation),
            step_end (norm, target, converged), note, line (the console's
            standard-output line), warning (text)

An unconverged end is not an error (result.status 1). A failed solution is a
domica.SolutionError; Ctrl-C ends the solve with KeyboardInterrupt, and an
exception of the progress callable ends it with that exception.
)doc");
}
