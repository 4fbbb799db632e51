// The results for people to look at, from the programs as a user runs them
// with --vtu: the frozen outputs stay as they were, shell.vtu reads back
// with VTK's own reader (python3-vtk9), the designer's summary goes to
// standard error, and scripts/picture draws shell.png (python3-matplotlib).
// The checks that need Debian's Python packages skip when they are missing,
// except in continuous integration, where they fail.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/testutil.h"

namespace fs = std::filesystem;

namespace {

const std::string python = "/usr/bin/python3";

bool python_has(const std::string& module) {
  std::string command = "'" + python + "' -c 'import " + module + "' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

// Run a Python script (its text) with the given arguments in dir.
test::run_result run_python(const std::string& dir, const std::string& script, const std::string& args) {
  test::write(dir + "/check.py", script);
  return test::run(python, dir, "", "check.py " + args);
}

// A folder with examples/NAME run by its program with --vtu.
std::string run_example(const std::string& name, const std::string& exe, test::run_result& r) {
  std::string dir = test::example_dir(name);
  r = test::run(exe, dir, "", "--vtu");
  return dir;
}

// Reads shell.vtu with VTK and checks it against autocad.scr: argv 1, 2 the
// node and triangle counts, argv 3 the expected n1 at node 1 (or "-").
const char* const vtk_check = R"(
import sys, vtk
nn, ne = int(sys.argv[1]), int(sys.argv[2])
r = vtk.vtkXMLUnstructuredGridReader()
r.SetFileName("shell.vtu")
r.Update()
g = r.GetOutput()
assert r.GetErrorCode() == 0, "reader error"
assert g.GetNumberOfPoints() == nn and g.GetNumberOfCells() == ne, (g.GetNumberOfPoints(), g.GetNumberOfCells())
lines = open("autocad.scr").read().split("\n")[2:2 + nn]
for i, line in enumerate(lines):
    p = g.GetPoint(i)
    for a, b in zip(p, map(float, line.split(","))):
        assert abs(a - b) <= 5e-9 * max(1.0, abs(b)), (i, p, line)
for e in range(ne):
    c = g.GetCell(e)
    assert c.GetCellType() == vtk.VTK_TRIANGLE and c.GetNumberOfPoints() == 3
pd, cd = g.GetPointData(), g.GetCellData()
for name in ("displacement", "fixed", "point_load", "n1", "n2"):
    assert pd.GetArray(name) is not None, name
for name in ("n11", "n22", "n12", "n1", "n2", "n1_direction", "area_ratio", "tension"):
    assert cd.GetArray(name) is not None and cd.GetArray(name).GetNumberOfTuples() == ne, name
assert cd.GetArray("n1_direction").GetNumberOfComponents() == 3
for e in range(ne):
    assert cd.GetArray("n1").GetValue(e) >= cd.GetArray("n2").GetValue(e)
    assert cd.GetArray("area_ratio").GetValue(e) > 0
if sys.argv[3] != "-":
    want, got = float(sys.argv[3]), pd.GetArray("n1").GetValue(0)
    assert abs(got / want - 1) < 0.02, (got, want)
print("ok")
)";

}  // namespace

TEST(Vtu, FrozenOutputsUnchangedAndSummaryOnStandardError) {
  const fs::path golden = fs::path(SOURCE_DIR) / "tests" / "golden" / "expected";
  struct one {
    const char* example;
    const char* golden;
    const char* exe;
  };
  for (one c : {one{"pneumatic_dome/domica_3", "pneumatic_dome-domica_3", DOMICA_3_EXE},
                one{"pneumatic_dome/domica_2", "pneumatic_dome-domica_2", DOMICA_2_EXE},
                one{"hanging_shell/domica_1", "hanging_shell-domica_1", DOMICA_1_EXE}}) {
    // The records were made with the shell data frozen beside them.
    std::string dir = test::example_dir(c.example);
    test::write(dir + "/shell.txt", test::read((golden.parent_path() / "shell.txt").string()));
    test::run_result r = test::run(c.exe, dir, "", "--vtu");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::mask_elapsed(r.out), test::mask_elapsed(test::read((golden / c.golden / "stdout.txt").string())));
    for (const char* file : {"autocad.scr", "ansys.txt"})
      EXPECT_TRUE(test::read(dir + "/" + file) == test::read((golden / c.golden / file).string())) << c.example << ' ' << file;
    EXPECT_TRUE(test::exists(dir + "/shell.vtu")) << c.example;
    EXPECT_NE(r.err.find("Rise "), std::string::npos) << r.err;
    // Both a pneumatic dome and a hanging form are in tension throughout.
    EXPECT_NE(r.err.find("Part of the shell is in tension"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("In compression: 0.0 % of the surface"), std::string::npos) << r.err;
  }
  // --quiet keeps the summary off standard error; shell.vtu is still written.
  std::string dir = test::example_dir("hanging_shell/domica_1");
  test::run_result q = test::run(DOMICA_1_EXE, dir, "", "--vtu --quiet");
  EXPECT_EQ(q.status, 0);
  EXPECT_EQ(q.err, "");
  EXPECT_TRUE(test::exists(dir + "/shell.vtu"));
}

TEST(Vtu, UnwritableFileIsAnOutputFailure) {
  std::string dir = test::example_dir("hanging_shell/domica_1");
  fs::create_directory(dir + "/shell.vtu");
  test::run_result r = test::run(DOMICA_1_EXE, dir, "", "--vtu");
  EXPECT_EQ(r.status, 4);
  EXPECT_NE(r.err.find("shell.vtu"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("Rise "), std::string::npos) << r.err;
}

TEST(Vtu, ReadBackByVtk) {
  NEEDS_OR_SKIP(python_has("vtk"), "python3-vtk9 (scripts/setup installs it)");
  test::run_result r;
  std::string dir = run_example("pneumatic_dome/domica_3", DOMICA_3_EXE, r);
  ASSERT_EQ(r.status, 0) << r.err;
  test::run_result c = run_python(dir, vtk_check, "217 384 -");
  EXPECT_EQ(c.status, 0) << c.err;
  EXPECT_EQ(c.out, "ok\n");
  // The clamped disk of p a / (E h) = 1e-3 (217 nodes): the centre force read
  // back is within 2 % of 0.43288 E h (p a / (E h))^(2/3) = 4.3288.
  std::string disc = test::temp_dir("disc");
  test::write(disc + "/weblar.txt",
              test::makenet("disc numbering=rings radius=1 young=10000 poisson=0.3 thickness=0.1 pressure=-1 rings=8 maxmajor=1 "
                            "maxminor=100000 mntol=1e-7"));
  test::write(disc + "/shell.txt", test::shell_text);
  r = test::run(DOMICA_3_EXE, disc, "", "--vtu");
  ASSERT_EQ(r.status, 0) << r.err;
  c = run_python(disc, vtk_check, "217 384 4.3288");
  EXPECT_EQ(c.status, 0) << c.err;
}

TEST(Picture, BothPanelsDrawn) {
  NEEDS_OR_SKIP(python_has("matplotlib") && python_has("numpy"), "python3-matplotlib or python3-numpy (scripts/setup installs them)");
  test::run_result r;
  std::string dir = run_example("pneumatic_dome/domica_3", DOMICA_3_EXE, r);
  ASSERT_EQ(r.status, 0) << r.err;
  std::string picture = "'";
  picture += SOURCE_DIR;
  picture += "/scripts/picture' .";
  r = test::run(python, dir, "", picture);
  ASSERT_EQ(r.status, 0) << r.err;
  // The size from the PNG header: width and height big-endian at bytes 16 and 20.
  std::string png = test::read(dir + "/shell.png");
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(1, 3), "PNG");
  auto be32 = [&](std::size_t at) {
    return (static_cast<unsigned char>(png[at]) << 24) | (static_cast<unsigned char>(png[at + 1]) << 16) |
           (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
  };
  EXPECT_EQ(be32(16), 1400);
  EXPECT_EQ(be32(20), 600);
  // Each half holds a drawing, not just axes on white: a good share of its
  // pixels is coloured (neither white nor grey).
  test::run_result c = run_python(dir, R"(
import matplotlib.image as im, numpy as np
a = im.imread("shell.png")[:, :, :3]
coloured = (a.max(axis=2) - a.min(axis=2)) > 0.1
h = a.shape[1] // 2
print("%.3f %.3f" % (coloured[:, :h].mean(), coloured[:, h:].mean()))
)", "");
  ASSERT_EQ(c.status, 0) << c.err;
  double left = 0, right = 0;
  ASSERT_EQ(std::sscanf(c.out.c_str(), "%lf %lf", &left, &right), 2) << c.out;
  EXPECT_GT(left, 0.05);
  EXPECT_GT(right, 0.05);
}

// The n1 scale of the picture: a few peak triangles (the corners of a shell
// on point supports) do not set it, and the bar says it is clipped; with
// both signs the scale is symmetric about zero.
TEST(Picture, ForceScaleIgnoresAFewPeaks) {
  NEEDS_OR_SKIP(python_has("matplotlib") && python_has("numpy"), "python3-matplotlib or python3-numpy (scripts/setup installs them)");
  std::string dir = test::temp_dir("picture");
  test::run_result c = run_python(dir, R"(
import importlib.machinery, importlib.util, sys
import numpy as np
loader = importlib.machinery.SourceFileLoader("picture", sys.argv[1])
picture = importlib.util.module_from_spec(importlib.util.spec_from_loader("picture", loader))
loader.exec_module(picture)
picture.load_plotting()
def scale(n1):
    cmap, norm, extend, clipped = picture.force_range(np.array(n1, dtype=float))
    return "%s %.3g %.3g %s %s" % (cmap, norm.vmin, norm.vmax, extend, clipped)
peaks = [-2.0 - 3.0 * k / 195 for k in range(196)] + [38.0] * 4
print(scale(peaks))
print(scale([-10.0 + 30.0 * k / 99 for k in range(100)]))
print(scale([1.0 + k for k in range(50)]))
)", std::string("'").append(SOURCE_DIR).append("/scripts/picture'"));
  ASSERT_EQ(c.status, 0) << c.err;
  std::istringstream lines(c.out);
  std::string peaks, mixed, plain;
  std::getline(lines, peaks);
  std::getline(lines, mixed);
  std::getline(lines, plain);
  // Compression from -5 to -2 sets the scale; the four 38s are beyond its end.
  EXPECT_EQ(peaks, "Blues_r -4.94 -1.2 both True") << peaks;
  // -10 .. 20: symmetric about zero over the larger of the percentile ends.
  EXPECT_EQ(mixed, "coolwarm -19.4 19.4 max True") << mixed;
  EXPECT_EQ(plain.rfind("YlOrRd ", 0), 0u) << plain;
  EXPECT_NE(plain.find(" both True"), std::string::npos) << plain;
}
