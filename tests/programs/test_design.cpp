// The designer's forms: a rise searched by scaling young (library and command
// line), the upright shell as the mirror of the hanging form (positions,
// frames, forces, every file), the refusals of both, summary.json read by
// Python's json module, and the heights of the net generators.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "domica_1/driver.h"
#include "domica_2/driver.h"
#include "domica_3/driver.h"
#include "model/failure.h"
#include "solve/design.h"
#include "tests/testutil.h"

using namespace domica;

namespace {

const std::string python = "/usr/bin/python3";

const std::string hanging_args =
    "rect nx=8 ny=8 lx=12 ly=12 support=corners young=1000 poisson=0.2 thickness=0.1 weight=1 maxminor=20000 mntol=1e-8 program=1";
const std::string dome_args = "disc rings=5 radius=15 young=1000 poisson=0.3 thickness=0.1 pressure=-1 maxmajor=4";

exit_status status_of(const std::function<void()>& body) {
  try {
    body();
  } catch (const failure& f) {
    return f.status;
  }
  return exit_ok;
}

// The vertex lines "v x y z" of shell.obj.
std::vector<double> obj_vertices(const std::string& text) {
  std::vector<double> v;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (line.rfind("v ", 0) == 0) {
      std::istringstream l(line.substr(2));
      for (double c; l >> c;) v.push_back(c);
    }
  return v;
}

}  // namespace

TEST(Design, RiseSearchMeetsTheTargetForEachProgram) {
  struct one {
    program variant;
    solve_fn solve;
    std::string args;
    double rise;
  };
  for (const one& c : {one{program::domica_1, solve_domica_1, hanging_args, 2.4},
                       one{program::domica_3, solve_domica_3, dome_args, 6.0},
                       one{program::domica_2, solve_domica_2, dome_args + " maxminor=50 mntol=1e-10 program=2", 6.0}}) {
    problem p = test::problem_from_text(test::makenet(c.args), c.variant);
    design_goal goal;
    goal.rise = c.rise;
    observer quiet;
    solve_options opts;
    opts.forces = true;
    solution_result r = solve_for_rise(c.solve, p, goal, opts, quiet);
    ASSERT_TRUE(r.rise.has_value());
    EXPECT_NEAR(rise_of(r), c.rise, 1e-4) << program_name(c.variant);
    EXPECT_LE(r.rise->solutions, 6) << program_name(c.variant);
    EXPECT_TRUE(r.forces.has_value());
    // The result is the plain solution of the scaled problem.
    p.mat.young = r.rise->young;
    solution_result plain = c.solve(p, solve_options{}, quiet);
    EXPECT_NEAR(rise_of(plain), c.rise, 2e-4) << program_name(c.variant);
  }
}

TEST(Design, RiseNoStiffnessReachesIsBadInput) {
  observer quiet;
  design_goal goal;
  goal.rise = 1.0;
  // No load: the net stays flat whatever young is.
  problem flat = test::problem_from_text(test::makenet("rect nx=4 ny=4 program=1"), program::domica_1);
  EXPECT_EQ(status_of([&] { solve_for_rise(solve_domica_1, flat, goal, {}, quiet); }), exit_input);
  // Corners at 0 and 3: the prescribed heights alone give a rise above 1.
  problem high = test::problem_from_text(
      test::makenet("rect nx=4 ny=4 support=corners heights=0,0,3,0 weight=1 maxminor=20000 program=1"), program::domica_1);
  EXPECT_EQ(status_of([&] { solve_for_rise(solve_domica_1, high, goal, {}, quiet); }), exit_input);
  // The command line refuses a rise that is not a positive number and writes nothing.
  std::string dir = test::temp_dir("rise-refused");
  test::write(dir + "/weblar.txt", test::makenet(hanging_args));
  test::write(dir + "/shell.txt", test::shell_text);
  for (const char* bad : {"--rise=0", "--rise=-1", "--rise=nan", "--rise=inf", "--rise=2m", "--rise="}) {
    test::run_result r = test::run(DOMICA_1_EXE, dir, "", bad);
    EXPECT_EQ(r.status, 2) << bad;
    EXPECT_NE(r.err.find("--rise wants a rise greater than 0"), std::string::npos) << r.err;
  }
  test::write(dir + "/weblar.txt", test::makenet("rect nx=4 ny=4 program=1"));
  test::run_result r = test::run(DOMICA_1_EXE, dir, "", "--rise=1 --json");
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_NE(r.err.find("no positive young gives a rise of 1"), std::string::npos) << r.err;
  EXPECT_FALSE(test::exists(dir + "/autocad.scr") || test::exists(dir + "/summary.json"));
}

TEST(Design, UprightIsTheMirrorOfTheHangingFormInCompression) {
  // Corners at different heights and a horizontal point load: the hanging
  // problem negates both, the upright shell carries them as given.
  std::string text = test::makenet(
      "rect nx=6 ny=6 lx=12 ly=12 support=corners heights=0,0.5,1,0 weight=1 maxminor=20000 mntol=1e-9 program=1");
  problem p = test::problem_from_text(text, program::domica_1);
  p.nt.point(10, 1) = 0.3;
  p.nt.point(10, 3) = -0.5;
  observer quiet;
  solve_options opts;
  opts.forces = true;
  problem h = hanging_problem(p);
  solution_result hang = solve_domica_1(h, opts, quiet);
  design_goal goal;
  goal.upright = true;
  solution_result up = solve_design(solve_domica_1, p, goal, opts, quiet);
  EXPECT_TRUE(up.upright);
  ASSERT_TRUE(up.forces && hang.forces);
  for (int glob = 1; glob <= p.nt.nn; ++glob) {
    EXPECT_EQ(up.sf.pos(glob, 1), hang.sf.pos(glob, 1));
    EXPECT_EQ(up.sf.pos(glob, 3), -hang.sf.pos(glob, 3));
    if (p.nt.fixed(glob, 3)) {
      EXPECT_EQ(up.sf.pos(glob, 3), p.nt.known(glob, 3));  // the heights wanted
    }
  }
  double largest = 0.0;
  for (int e = 1; e <= p.nt.ne; ++e) {
    // Frames of the upright surface: right-handed, the normal up and out.
    const frame& f = up.sf.tri(e);
    EXPECT_GT(f.w(3), 0.0);
    EXPECT_NEAR(f.u(2) * f.v(3) - f.u(3) * f.v(2), f.w(1), 1e-12);
    // Mirrored frame axes, reversed forces.
    EXPECT_NEAR(f.u(3), -hang.sf.tri(e).u(3), 1e-12);
    EXPECT_EQ(up.forces->tri(e).n1, -hang.forces->tri(e).n2);
    EXPECT_EQ(up.forces->tri(e).n11, -hang.forces->tri(e).n11);
    largest = std::fmax(largest, up.forces->tri(e).n1);
  }
  EXPECT_LT(up.forces->tri(1).n2, 0.0);
  EXPECT_EQ(up.lowest, hang.highest);
  // A load that lifts has no upright shell.
  problem lifted = p;
  lifted.nt.point(10, 3) = 0.5;
  EXPECT_EQ(status_of([&] { hanging_problem(lifted); }), exit_input);
  problem inflated = test::problem_from_text(test::makenet(dome_args), program::domica_3);
  EXPECT_EQ(status_of([&] { hanging_problem(inflated); }), exit_input);
  inflated.load.pressure = 1.0;  // pushing down on anticlockwise triangles: allowed
  EXPECT_EQ(status_of([&] { hanging_problem(inflated); }), exit_ok);
}

TEST(Design, UprightFilesAndSummaryJson) {
  std::string hang = test::temp_dir("design-hang"), up = test::temp_dir("design-up");
  for (const std::string& dir : {hang, up}) {
    test::write(dir + "/weblar.txt", test::makenet(hanging_args));
    test::write(dir + "/shell.txt", test::shell_text);
  }
  test::run_result a = test::run(DOMICA_1_EXE, hang, "", "--obj --json");
  test::run_result b = test::run(DOMICA_1_EXE, up, "", "--upright --obj --dxf --json --ccx --vtu --rise=2.4");
  ASSERT_EQ(a.status, 0) << a.err;
  ASSERT_EQ(b.status, 0) << b.err;
  EXPECT_NE(b.err.find("rise 2.4 reached with young = "), std::string::npos) << b.err;
  EXPECT_NE(b.err.find("Membrane stiffness for this rise: young = "), std::string::npos) << b.err;
  // Every file of the upright run shows the same shell: the heights of
  // shell.obj and autocad.scr agree, the supports stay at 0 and the rest
  // stands above them by the rise asked for.
  std::vector<double> scr = test::vertices(test::read(up + "/autocad.scr")), obj = obj_vertices(test::read(up + "/shell.obj"));
  ASSERT_EQ(scr.size(), obj.size());
  double top = -1e300, bottom = 1e300;
  for (std::size_t k = 2; k < obj.size(); k += 3) {
    EXPECT_NEAR(scr[k], obj[k], 1e-8);
    top = std::fmax(top, obj[k]);
    bottom = std::fmin(bottom, obj[k]);
  }
  EXPECT_NEAR(top - bottom, 2.4, 1e-4);
  EXPECT_NEAR(bottom, 0.0, 1e-12);  // the corner supports at their height, the shell above them
  // summary.json parses and says what the run did.
  std::string check =
      "import json, sys\n"
      "a = json.load(open(sys.argv[1])); b = json.load(open(sys.argv[2]))\n"
      "assert a['program'] == 'domica_1' and a['exit_status'] == 0 and a['rise_search'] is None and not a['upright']\n"
      "assert a['largest_tension']['n'] > 0 and a['iterations_of'] == 'line_searches'\n"
      "assert b['upright'] and abs(b['rise'] - 2.4) <= 1e-4 and b['rise_search']['solutions'] >= 1\n"
      "assert b['largest_compression']['n'] < 0 and b['exit_status'] == 0\n"
      "assert b['compression_share'] > 0.5 and b['highest']['z'] > 0 and b['lowest']['z'] == 0\n"
      "assert abs(b['rise_search']['young'] - 1000) > 1\n";
  test::write(up + "/check.py", check);
  test::run_result py = test::run(python, up, "", "check.py '" + hang + "/summary.json' summary.json");
  EXPECT_EQ(py.status, 0) << py.err;
}

TEST(Design, ObjReadsBackWithVtk) {
  if (std::system(("'" + python + "' -c 'import vtk' >/dev/null 2>&1").c_str()) != 0) GTEST_SKIP() << "no python3-vtk9";
  std::string dir = test::temp_dir("design-vtk");
  test::write(dir + "/weblar.txt", test::makenet(hanging_args));
  test::write(dir + "/shell.txt", test::shell_text);
  ASSERT_EQ(test::run(DOMICA_1_EXE, dir, "", "--upright --obj").status, 0);
  // VTK keeps single precision: the bounds agree to that.
  std::vector<double> v = obj_vertices(test::read(dir + "/shell.obj"));
  double lo[3] = {1e300, 1e300, 1e300}, hi[3] = {-1e300, -1e300, -1e300};
  for (std::size_t k = 0; k < v.size(); ++k) {
    lo[k % 3] = std::fmin(lo[k % 3], v[k]);
    hi[k % 3] = std::fmax(hi[k % 3], v[k]);
  }
  std::string script =
      "import vtk, sys\n"
      "r = vtk.vtkOBJReader(); r.SetFileName('shell.obj'); r.Update(); o = r.GetOutput()\n"
      "assert o.GetNumberOfPoints() == 81 and o.GetNumberOfCells() == 128, (o.GetNumberOfPoints(), o.GetNumberOfCells())\n"
      "b = o.GetBounds(); want = [float(a) for a in sys.argv[1:]]\n"
      "assert all(abs(b[k] - want[k]) < 1e-5 for k in range(6)), (b, want)\n";
  test::write(dir + "/check.py", script);
  std::string bounds;
  for (int axis = 0; axis < 3; ++axis) {
    char buf[80];
    std::snprintf(buf, sizeof buf, " %.17g %.17g", lo[axis], hi[axis]);
    bounds += buf;
  }
  EXPECT_GT(hi[2], 1.0);  // upright: the shell stands above its supports at 0
  EXPECT_EQ(lo[2], 0.0);
  test::run_result py = test::run(python, dir, "", "check.py" + bounds);
  EXPECT_EQ(py.status, 0) << py.err;
}

TEST(Design, GeneratorHeights) {
  // A level edge for every shape with edges, one height per corner.
  std::string disc = test::makenet("disc rings=2 height=1.5 program=1");
  problem d = test::problem_from_text(disc, program::domica_1);
  int edge = 0;
  for (int glob = 1; glob <= d.nt.nn; ++glob)
    if (d.nt.fixed(glob, 3)) {
      ++edge;
      EXPECT_EQ(d.nt.known(glob, 3), 1.5);
    }
  EXPECT_EQ(edge, 12);
  problem pg = test::problem_from_text(test::makenet("polygon sides=5 rings=2 support=corners heights=1,2,3,4,5"), program::domica_3);
  double sum = 0.0;
  for (int glob = 1; glob <= pg.nt.nn; ++glob) sum += pg.nt.known(glob, 3);
  EXPECT_EQ(sum, 15.0);
}

#ifdef DOMICA_MESH_EXE
TEST(Design, MeshHeightGroups) {
  std::string dir = test::temp_dir("design-mesh");
  test::write(dir + "/plan.geo",
              "Point(1) = {0, 0, 0, 1}; Point(2) = {4, 0, 0, 1}; Point(3) = {4, 4, 0, 1}; Point(4) = {0, 4, 0, 1};\n"
              "Line(1) = {1, 2}; Line(2) = {2, 3}; Line(3) = {3, 4}; Line(4) = {4, 1};\n"
              "Curve Loop(1) = {1, 2, 3, 4}; Plane Surface(1) = {1};\n"
              "Physical Curve(\"Height  1.25\") = {1, 2, 3, 4}; Physical Surface(\"s\") = {1};\n");
  test::run_result r = test::run(DOMICA_MESH_EXE, dir, "", "plan.geo program=1 weight=1 out=weblar.txt");
  ASSERT_EQ(r.status, 0) << r.err;
  problem p = test::problem_from_text(test::read(dir + "/weblar.txt"), program::domica_1);
  int held = 0;
  for (int glob = 1; glob <= p.nt.nn; ++glob)
    if (p.nt.fixed(glob, 3)) {
      ++held;
      EXPECT_EQ(p.nt.known(glob, 3), 1.25);
      EXPECT_EQ(p.nt.fixed(glob, 1) + p.nt.fixed(glob, 2), 2);
    }
  EXPECT_GT(held, 4);
  test::run_result two = test::run(DOMICA_MESH_EXE, dir, "", "plan.geo program=2 pressure=1 out=two.txt");
  EXPECT_EQ(two.status, 2);
  EXPECT_NE(two.err.find("domica_2 keeps fixed coordinates at the plan"), std::string::npos) << two.err;
  EXPECT_FALSE(test::exists(dir + "/two.txt"));
}
#endif
