// makenet run as a user would: its refusals, and the nets of every shape read
// back by the programs' reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <regex>
#include <sstream>
#include <vector>

#include "domica/version.h"
#include "domica_3/driver.h"
#include "tests/tools/toolrun.h"

using domica::program;

namespace {

test::run_result makenet(const std::string& args, const std::string& dir = test::temp_dir("makenet")) {
  return test::run_tool(MAKENET_EXE, args, dir);
}

}  // namespace

TEST(Makenet, RefusesBadArgumentsWithUsageAndNoOutput) {
  std::string dir = test::temp_dir("makenet");
  test::write(dir + "/bowtie.txt", "0 0\n1 1\n1 0\n0 1\n");
  test::write(dir + "/two.txt", "# two points\n0 0\n1 0\n0 0\n");
  test::write(dir + "/letters.txt", "0 0\n1 0\n1 x\n");
  struct refusal {
    const char* args;
    const char* line;  // first line of standard error
    bool usage;        // the usage text follows
  };
  const refusal cases[] = {
      {"", "makenet: no shape given", true},
      {"hexagon", "makenet: unknown shape \"hexagon\"", true},
      {"rect --bend", "makenet: unknown option \"--bend\"", true},
      {"rect nx", "makenet: expected key=value, found \"nx\"", true},
      {"rect nx=", "makenet: no value after \"nx=\"", true},
      {"rect nx=2 nx=3", "makenet: key nx given twice", true},
      {"rect suport=corners", "makenet: unknown key \"suport\"; the keys of rect are nx, ny, lx, ly, support, load, "
                              "numbering, height, heights, program, lstol, maxls, mntol, maxminor, maxmajor, maxlist, young, poisson, "
                              "thickness, weight, pressure", true},
      {"disc nx=4", "makenet: unknown key \"nx\"; the keys of disc are rings, radius, support, load, numbering, height, heights, program, "
                    "lstol, maxls, mntol, maxminor, maxmajor, maxlist, young, poisson, thickness, weight, pressure", true},
      {"rect weight=abc", "makenet: weight: expected a finite real number, found \"abc\"", true},
      {"rect weight=nan", "makenet: weight: expected a finite real number, found \"nan\"", true},
      {"rect young=1e999", "makenet: young: expected a finite real number, found \"1e999\"", true},
      {"rect nx=2.5", "makenet: nx: expected a whole number, found \"2.5\"", true},
      {"rect nx=0", "makenet: nx must lie in 1..1000000, found 0", true},
      {"rect nx=100000 ny=100000", "makenet: the net would have 10000200001 nodes, more than 10000000", true},
      {"disc rings=0", "makenet: rings must lie in 1..1000000, found 0", true},
      {"polygon sides=2", "makenet: sides must lie in 3..1000000, found 2", true},
      {"rect lx=-1", "makenet: lx must be greater than 0, found -1", true},
      {"ellipse b=0", "makenet: b must be greater than 0, found 0", true},
      {"rect poisson=0.5000001", "makenet: poisson must be within (-1, 0.5], found 0.5000001", true},
      {"rect program=4", "makenet: program must lie in 1..3, found 4", true},
      {"rect program=1 pressure=-1", "makenet: pressure is not read by domica_1; choose program=2 or 3 for a pressure", true},
      {"rect program=2 lstol=0.5", "makenet: lstol is not read by domica_2; leave it out", true},
      {"disc support=corners", "makenet: support must be edges, found \"corners\"", true},
      {"rect heights=1,2,3,4", "makenet: heights are the z of the corner supports: give support=corners (or height=H for the edges)", true},
      {"rect support=corners heights=1,2,3", "makenet: heights: expected 4 numbers h1,h2,... (one per corner), found \"1,2,3\"", true},
      {"polygon sides=5 support=corners heights=1,2,3,4", "makenet: heights: expected 5 numbers h1,h2,... (one per corner), found \"1,2,3,4\"", true},
      {"disc height=1 heights=1", "makenet: give height (every support at one level) or heights (one per corner), not both", true},
      {"disc program=2 height=0.5", "makenet: domica_2 keeps fixed coordinates at the plan (it reads no prescribed values): "
                                    "height and heights need program=1 or program=3", false},
      {"outline", "makenet: outline needs points=FILE", true},
      {"outline points=none.txt", "makenet: none.txt: cannot be read", false},
      {"outline points=bowtie.txt", "makenet: bowtie.txt:1: the side from this point crosses the side from line 3", false},
      {"outline points=two.txt", "makenet: two.txt: an outline needs at least 3 points, found 2", false},
      {"outline points=letters.txt", "makenet: letters.txt:3: expected \"x y\", found \"1 x\"", false},
  };
  for (const refusal& c : cases) {
    test::run_result r = makenet(c.args, dir);
    EXPECT_EQ(r.status, 2) << c.args;
    EXPECT_EQ(r.out, "") << c.args;
    EXPECT_EQ(test::first_line(r.err), c.line) << c.args;
    EXPECT_EQ(r.err.find("usage: makenet") != std::string::npos, c.usage) << c.args;
  }
}

TEST(Makenet, HelpAndVersionOnStandardOutput) {
  test::run_result help = makenet("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, "");
  for (const char* word : {"usage: makenet", "rect ", "disc ", "ellipse ", "polygon ", "outline ", "numbering=", "--band"})
    EXPECT_NE(help.out.find(word), std::string::npos) << word;
  test::run_result version = makenet("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "makenet " DOMICA_VERSION "\n");
}

// Standard output that cannot be written, and a file-size limit, end makenet
// with status 4 and its message (not status 0, not death by SIGXFSZ).
TEST(Makenet, OutputFailuresEndWithStatus4) {
  const std::string exe = MAKENET_EXE;
  for (const char* c : {"exec '%s' --version >/dev/full", "exec '%s' --help >/dev/full", "exec '%s' disc >/dev/full",
                        "ulimit -f 1; exec '%s' disc rings=20 >big.txt"}) {
    char command[1024];
    std::snprintf(command, sizeof command, c, exe.c_str());
    test::run_result r = test::run_tool("/bin/sh", "-c \"" + std::string(command) + "\"", test::temp_dir("makenet"));
    EXPECT_EQ(r.status, 4) << c;
    EXPECT_EQ(r.err, "makenet: cannot write standard output\n") << c;
  }
}

// Every shape for every program: the reader takes the file, the triangles run
// anticlockwise and cover the plan's area.
TEST(Makenet, EveryShapeIsReadByEveryProgram) {
  std::string dir = test::temp_dir("makenet");
  test::write(dir + "/L.txt", "# an L-shaped plan, clockwise\n0 0\n0 2\n1 2\n1 1\n2 1\n2 0\n");
  const double pi = 3.14159265358979323846;
  struct shape {
    const char* args;
    int nn, ne;
    double area;  // of the net's polygon
  };
  const shape shapes[] = {
      {"rect nx=4 ny=3 lx=8 ly=3", 20, 24, 24.0},
      {"disc rings=3 radius=2", 37, 54, 9 * 4 * std::sin(pi / 9)},
      {"ellipse rings=3 a=3 b=1", 37, 54, 9 * 3 * std::sin(pi / 9)},
      {"polygon sides=4 radius=1.4142135623730951 rings=2", 13, 16, 4.0},
      {"polygon sides=5 rings=3 support=corners", 31, 45, 2.5 * 100 * std::sin(2 * pi / 5)},
      {"outline points=L.txt divisions=3", 6 + 9 * 2 + 4, 4 * 9, 3.0},
  };
  for (const shape& s : shapes)
    for (program p : {program::domica_1, program::domica_2, program::domica_3}) {
      std::string args = std::string(s.args) + " program=" + (p == program::domica_1 ? "1" : p == program::domica_2 ? "2" : "3");
      test::run_result r = makenet(args, dir);
      ASSERT_EQ(r.status, 0) << args << r.err;
      domica::problem m = test::problem_from_text(r.out, p);
      EXPECT_EQ(m.nt.nn, s.nn) << args;
      EXPECT_EQ(m.nt.ne, s.ne) << args;
      test::net_areas a = test::areas(m);
      EXPECT_GT(a.smallest, 0.0) << args;
      EXPECT_NEAR(a.total, s.area, 1e-12 * s.area) << args;
    }
}

TEST(Makenet, WritesShortestNumbersAndTheChosenSupports) {
  test::run_result r =
      makenet("rect nx=2 ny=2 lx=0.3 ly=0.1 poisson=0.3 support=corners heights=0.1,0,0,0 load=-0.7 weight=2 numbering=rings");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\n1000 0.3 0.1 2 0 "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\n1 -0.15 -0.05\n"), std::string::npos) << r.out;
  domica::problem m = test::problem_from_text(r.out, program::domica_3);
  // Four corners fixed in x, y and z; one point load at the middle node.
  int fixed = 0;
  for (int i = 1; i <= m.nt.nn; ++i)
    for (int a = 1; a <= 3; ++a) fixed += m.nt.fixed(i, a);
  EXPECT_EQ(fixed, 12);
  for (int i = 1; i <= m.nt.nn; ++i) {
    bool corner = std::fabs(m.nt.xo(i)) == 0.15 && std::fabs(m.nt.yo(i)) == 0.05;
    EXPECT_EQ(m.nt.fixed(i, 3), corner ? 1 : 0);
    if (m.nt.xo(i) == -0.15 && m.nt.yo(i) == -0.05) {
      EXPECT_EQ(m.nt.known(i, 3), 0.1);
    }
    EXPECT_EQ(m.nt.point(i, 3), m.nt.xo(i) == 0 && m.nt.yo(i) == 0 ? -0.7 : 0.0);
  }
}

// Reverse Cuthill-McKee gives a narrower band than the order the shape is
// built in, --band reports the band of the file written, and the renumbered
// net is the same net: it takes the same shape.
TEST(Makenet, ReverseCuthillMcKeeNarrowsTheBand) {
  std::string dir = test::temp_dir("makenet");
  test::write(dir + "/L.txt", "0 0\n4 0\n4 1\n1 1\n1 4\n0 4\n");
  for (const char* args : {"rect nx=30 ny=6", "disc rings=10", "ellipse rings=8", "polygon sides=9 rings=5",
                           "outline points=L.txt divisions=5"}) {
    int band[2] = {0, 0};
    for (int rcm = 0; rcm < 2; ++rcm) {
      test::run_result r = makenet(std::string(args) + (rcm ? "" : " numbering=rings") + " --band", dir);
      ASSERT_EQ(r.status, 0) << args << r.err;
      band[rcm] = test::node_band(test::problem_from_text(r.out, program::domica_3));
      EXPECT_EQ(r.err, "makenet: node band " + std::to_string(band[rcm]) + " (tangent band " +
                           std::to_string(3 * band[rcm] + 2) + " unknowns)\n");
    }
    EXPECT_LT(band[1], band[0]) << args;
    std::printf("%-36s node band: built order %3d, reverse Cuthill-McKee %3d\n", args, band[0], band[1]);
  }
  double rise[2] = {0, 0};
  for (int rcm = 0; rcm < 2; ++rcm) {
    test::run_result r = makenet(std::string("disc rings=3 pressure=-1 maxmajor=1 maxminor=2000 mntol=1e-7") + (rcm ? "" : " numbering=rings"));
    domica::problem m = test::problem_from_text(r.out, program::domica_3);
    domica::state3 s = domica::start3(m);
    test::lines_of([&](domica::progress& pr) { domica::solve3(m, s, pr); });
    for (int i = 1; i <= m.nt.nn; ++i)
      if (m.nt.xo(i) == 0 && m.nt.yo(i) == 0) rise[rcm] = s.x(s.as.d.index(i, 3));
  }
  EXPECT_GT(rise[0], 0.1);
  EXPECT_NEAR(rise[1], rise[0], 1e-7 * rise[0]);
}

namespace {

// The defaults a text states: each run of keys written "key=R" or "key=N",
// or listed between backquotes, followed by a bracket of as many values.
std::map<std::string, std::string> stated_defaults(std::string text, const std::regex& keys) {
  std::replace(text.begin(), text.end(), '\n', ' ');
  std::map<std::string, std::string> out;
  std::vector<std::string> pending;
  static const std::regex item(R"(\[[^\]]*\]|`[a-z ]+`|\b[a-z]+=[RN]\b)");
  for (std::sregex_iterator it(text.begin(), text.end(), item), end; it != end; ++it) {
    std::string m = it->str();
    if (m[0] != '[') {
      std::smatch k;
      std::string names = m;
      if (std::regex_match(m, k, keys)) names = k[1];
      std::istringstream words(names);
      for (std::string w; words >> w;) pending.push_back(w);
      continue;
    }
    std::istringstream values(m.substr(1, m.size() - 2));
    std::vector<std::string> v;
    for (std::string w; values >> w;) v.push_back(w);
    if (v.size() == pending.size())
      for (std::size_t i = 0; i < v.size(); ++i) out[pending[i]] = v[i];
    pending.clear();
  }
  return out;
}

}  // namespace

// A net made without a key has the default that --help and the README
// state, for each program; the shape's own defaults likewise (rect).
TEST(Makenet, DefaultsAreThoseItsHelpAndTheReadmeState) {
  test::run_result help = makenet("--help");
  ASSERT_EQ(help.status, 0);
  std::map<std::string, std::string> stated = stated_defaults(help.out, std::regex(R"(([a-z]+)=[RN])"));
  for (const char* key : {"lstol", "maxls", "mntol", "maxminor", "maxmajor", "maxlist", "young", "poisson", "thickness",
                          "weight", "pressure", "load"})
    ASSERT_TRUE(stated.count(key)) << key << " has no default in --help:\n" << help.out;
  // The README's list of the same defaults.
  std::map<std::string, std::string> readme =
      stated_defaults(test::read(std::string(SOURCE_DIR) + "/README.md"), std::regex("`([a-z ]+)`"));
  for (const char* key : {"lstol", "maxls", "mntol", "maxminor", "maxmajor", "maxlist", "young", "poisson", "thickness",
                          "weight", "pressure"}) {
    ASSERT_TRUE(readme.count(key)) << key << " has no default in the README";
    EXPECT_EQ(readme[key], stated[key]) << key << ": README and --help disagree";
  }
  auto value = [&](const char* key) { return std::stod(stated.at(key)); };
  for (program p : {program::domica_1, program::domica_2, program::domica_3}) {
    // Program 3 is the default too.
    std::string args = p == program::domica_1 ? "rect program=1" : p == program::domica_2 ? "rect program=2" : "rect";
    test::run_result r = makenet(args);
    ASSERT_EQ(r.status, 0) << r.err;
    domica::problem m = test::problem_from_text(r.out, p);
    SCOPED_TRACE(args);
    EXPECT_EQ(m.st.mntol, value("mntol"));
    EXPECT_EQ(m.st.maxminor, value("maxminor"));
    if (p != program::domica_1) {
      EXPECT_EQ(m.st.maxmajor, value("maxmajor"));
      EXPECT_EQ(m.load.pressure, value("pressure"));
    }
    if (p != program::domica_2) {
      EXPECT_EQ(m.search.lstol, value("lstol"));
      EXPECT_EQ(m.search.maxls, value("maxls"));
      EXPECT_EQ(m.search.maxlist, value("maxlist"));
    }
    EXPECT_EQ(m.mat.young, value("young"));
    EXPECT_EQ(m.mat.poisson, value("poisson"));
    EXPECT_EQ(m.mat.thickness, value("thickness"));
    EXPECT_EQ(m.load.weight, value("weight"));
    double load = 0.0;
    for (int i = 1; i <= m.nt.nn; ++i) load += std::fabs(m.nt.point(i, 3));
    EXPECT_EQ(load, std::fabs(value("load")));
  }
  // rect's "nx=8 ny=8 lx=10 ly=10": the node count and the sides.
  std::smatch rect;
  ASSERT_TRUE(std::regex_search(help.out, rect, std::regex(R"(rect +nx=(\d+) ny=(\d+) lx=([0-9.]+) ly=([0-9.]+))")));
  domica::problem m = test::problem_from_text(makenet("rect").out, program::domica_3);
  EXPECT_EQ(m.nt.nn, (std::stoi(rect[1]) + 1) * (std::stoi(rect[2]) + 1));
  double xmax = 0.0, ymax = 0.0;
  for (int i = 1; i <= m.nt.nn; ++i) xmax = std::max(xmax, m.nt.xo(i)), ymax = std::max(ymax, m.nt.yo(i));
  EXPECT_EQ(2 * xmax, std::stod(rect[3]));
  EXPECT_EQ(2 * ymax, std::stod(rect[4]));
}
