// shell.inp as CalculiX reads it: the decks of two found shells run to a
// normal end, the loads push the way this system's loads do, and the found
// shells carry their loads far more stiffly than the flat plan or a
// spherical cap of the same rise. Skipped where ccx (Debian calculix-ccx)
// is not installed, except in continuous integration, where that fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "io/ccx.h"
#include "model/failure.h"
#include "io/input.h"
#include "io/shell.h"
#include "tests/testutil.h"

namespace {

bool have_ccx() { return std::system("command -v ccx >/dev/null 2>&1") == 0; }

// Node displacements of deck `text` run by ccx as job `job` in dir, at the
// end of its step: nn x 3.
domica::fmat2 ccx_displacements(const std::string& dir, const std::string& job, const std::string& text, int nn) {
  test::write(dir + "/" + job + ".inp", text);
  test::run_result r = test::run("ccx", dir, "", "-i " + job);
  domica::fmat2 u(nn, 3);
  EXPECT_EQ(r.status, 0) << job << ": " << r.out.substr(r.out.size() > 2000 ? r.out.size() - 2000 : 0);
  EXPECT_EQ(r.out.find("*ERROR"), std::string::npos) << job;
  std::istringstream dat(test::read(dir + "/" + job + ".dat"));
  std::string line;
  int rows = 0;
  // The found shell's deck has one linear step per load case: their sum is
  // the displacement under all of them (the steps' blocks come first, then
  // the buckling step's). The membrane deck prints each increment of its
  // nonlinear step: the last block is its end.
  int statics = 0;
  if (text.find("NLGEOM") == std::string::npos)
    for (std::size_t at = text.find("*STATIC"); at != std::string::npos; at = text.find("*STATIC", at + 1)) ++statics;
  int blocks = 0;
  bool inside = false;
  domica::fmat2 sum(nn, 3);
  while (std::getline(dat, line)) {
    if (line.find("displacements") != std::string::npos) {
      if (statics > 0 && blocks > 0 && blocks <= statics)
        for (int glob = 1; glob <= nn; ++glob)
          for (int axis = 1; axis <= 3; ++axis) sum(glob, axis) += u(glob, axis);
      if (statics > 0 && ++blocks > statics) break;
      rows = 0;  // a nonlinear step prints each increment
      inside = true;
      continue;
    }
    // Nodal forces, stresses and buckling factors are not displacements.
    if (line.find(" for set ") != std::string::npos || line.find("B U C K") != std::string::npos) inside = false;
    if (!inside) continue;
    std::istringstream in(line);
    int glob;
    double ux, uy, uz;
    if (!(in >> glob >> ux >> uy >> uz) || glob < 1 || glob > nn) continue;
    u(glob, 1) = ux;
    u(glob, 2) = uy;
    u(glob, 3) = uz;
    ++rows;
  }
  EXPECT_EQ(rows, nn) << job << ": displacement lines in the .dat file";
  if (statics > 0) {
    if (blocks <= statics)
      for (int glob = 1; glob <= nn; ++glob)
        for (int axis = 1; axis <= 3; ++axis) sum(glob, axis) += u(glob, axis);
    return sum;
  }
  return u;
}

double largest(const domica::fmat2& u) {
  double m = 0.0;
  for (int glob = 1; glob <= u.rows(); ++glob) m = std::max(m, std::hypot(u(glob, 1), u(glob, 2), u(glob, 3)));
  return m;
}

// Node positions of autocad.scr (the lines after "osmode 0" and "pface").
domica::fmat2 found_positions(const std::string& dir, int nn) {
  std::istringstream scr(test::read(dir + "/autocad.scr"));
  std::string line;
  std::getline(scr, line);
  std::getline(scr, line);
  domica::fmat2 pos(nn, 3);
  for (int glob = 1; glob <= nn; ++glob) {
    std::getline(scr, line);
    std::replace(line.begin(), line.end(), ',', ' ');
    std::istringstream in(line);
    in >> pos(glob, 1) >> pos(glob, 2) >> pos(glob, 3);
  }
  return pos;
}

// The plan with z = 0, and a spherical cap over the plan through the
// supports (z = 0 at the fixed node farthest from the plan's centre) with
// the rise of the found shell (its z of largest magnitude, up or down).
domica::fmat2 flat(const domica::net& nt) {
  domica::fmat2 pos(nt.nn, 3);
  for (int glob = 1; glob <= nt.nn; ++glob) {
    pos(glob, 1) = nt.xo(glob);
    pos(glob, 2) = nt.yo(glob);
  }
  return pos;
}

domica::fmat2 cap(const domica::net& nt, const domica::fmat2& found) {
  double xmin = nt.xo(1), xmax = xmin, ymin = nt.yo(1), ymax = ymin, rise = 0.0;
  for (int glob = 1; glob <= nt.nn; ++glob) {
    xmin = std::min(xmin, nt.xo(glob)), xmax = std::max(xmax, nt.xo(glob));
    ymin = std::min(ymin, nt.yo(glob)), ymax = std::max(ymax, nt.yo(glob));
    if (std::fabs(found(glob, 3)) > std::fabs(rise)) rise = found(glob, 3);
  }
  double cx = 0.5 * (xmin + xmax), cy = 0.5 * (ymin + ymax), a = 0.0;
  for (int glob = 1; glob <= nt.nn; ++glob)
    if (nt.fixed(glob, 3) == 1) a = std::max(a, std::hypot(nt.xo(glob) - cx, nt.yo(glob) - cy));
  double f = std::fabs(rise), radius = (a * a + f * f) / (2.0 * f);
  domica::fmat2 pos = flat(nt);
  for (int glob = 1; glob <= nt.nn; ++glob) {
    double r = std::hypot(nt.xo(glob) - cx, nt.yo(glob) - cy);
    pos(glob, 3) = std::copysign(std::sqrt(radius * radius - r * r) - (radius - f), rise);
  }
  return pos;
}

struct found_shell {
  const char* example;
  const char* exe;
  domica::program variant;
};

const found_shell shells[] = {
    {"pneumatic_dome/domica_3", DOMICA_3_EXE, domica::program::domica_3},
    {"hanging_shell/domica_1", DOMICA_1_EXE, domica::program::domica_1},
};

}  // namespace

TEST(Ccx, FoundShellsFarStifferThanFlatPlanAndCap) {
  NEEDS_OR_SKIP(have_ccx(), "ccx (calculix-ccx)");
  for (const found_shell& s : shells) {
    SCOPED_TRACE(s.example);
    std::string dir = test::example_dir(s.example);
    test::run_result r = test::run(s.exe, dir, "", "--quiet --ccx");
    ASSERT_EQ(r.status, 0) << r.err;
    domica::problem p = domica::input(s.variant, dir + "/weblar.txt");
    domica::shell_rec shell = domica::read_shell(dir + "/shell.txt");
    int nn = p.nt.nn;
    domica::fmat2 found_pos = found_positions(dir, nn);
    // shell.txt's loads, then only the kind of load the shell was found for
    // (the dome: its pressure; the hanging shell: its weight).
    domica::shell_rec own = shell;
    if (p.load.weight == 0.0) own.gravity = 0.0;
    if (p.load.pressure == 0.0) own.pressure = 0.0;
    const domica::shell_rec cases[] = {shell, own};
    for (int k = 0; k < 2; ++k) {
      const domica::shell_rec& loads = cases[k];
      domica::ccx_deck deck = domica::shell_deck(loads);
      // First the program's own deck, then one on the positions of autocad.scr.
      std::string found_deck = k == 0 ? test::read(dir + "/shell.inp") : domica::ccx_text(p.nt, found_pos, deck);
      double found = largest(ccx_displacements(dir, "shell", found_deck, nn));
      double plate = largest(ccx_displacements(dir, "flat", domica::ccx_text(p.nt, flat(p.nt), deck), nn));
      double sphere = largest(ccx_displacements(dir, "cap", domica::ccx_text(p.nt, cap(p.nt, found_pos), deck), nn));
      std::printf("%s, gravity %g, pressure %g: largest displacement found %.4g, flat %.4g (ratio %.3g), cap %.4g (ratio %.3g)\n",
                  s.example, loads.gravity, loads.pressure, found, plate, found / plate, sphere, found / sphere);
      EXPECT_GT(found, 0.0);
      EXPECT_LT(found, 0.02 * plate);
      // A cap of the same rise is itself a good shell under near-uniform
      // loads: the found shell is of its order, not far stiffer.
      EXPECT_LT(found, 2.0 * sphere);
    }
  }
}

// Self-weight pulls the crown of the dome down whichever sign shell.txt gives
// gravity; the dome's own lifting pressure (negative, as in weblar.txt)
// lifts it.
TEST(Ccx, LoadsPushAsThisSystemsLoads) {
  NEEDS_OR_SKIP(have_ccx(), "ccx (calculix-ccx)");
  std::string dir = test::example_dir("pneumatic_dome/domica_3");
  ASSERT_EQ(test::run(DOMICA_3_EXE, dir, "", "--quiet").status, 0);
  domica::problem p = domica::input(domica::program::domica_3, dir + "/weblar.txt");
  domica::fmat2 pos = found_positions(dir, p.nt.nn);
  int crown = 1;
  for (int glob = 1; glob <= p.nt.nn; ++glob)
    if (pos(glob, 3) > pos(crown, 3)) crown = glob;
  struct load {
    double gravity, pressure, sign;
  };
  for (load l : {load{-9.81, 0.0, -1.0}, load{9.81, 0.0, -1.0}, load{0.0, -1000.0, 1.0}, load{0.0, 1000.0, -1.0}}) {
    domica::shell_rec shell = domica::read_shell(dir + "/shell.txt");
    shell.gravity = l.gravity;
    shell.pressure = l.pressure;
    domica::fmat2 u = ccx_displacements(dir, "load", domica::ccx_text(p.nt, pos, domica::shell_deck(shell)), p.nt.nn);
    EXPECT_GT(l.sign * u(crown, 3), 0.0) << "gravity " << l.gravity << ", pressure " << l.pressure;
  }
}

// CalculiX reads at most 20 characters a real: long values are rounded to
// fit, nearly exactly; a value that is not finite is never written.
TEST(Ccx, NumbersFitTheFieldsAndAreFinite) {
  domica::problem p = test::one_triangle("1 2 3", -1.0);
  domica::fmat2 pos = flat(p.nt);
  pos(1, 1) = -1.5969602876974453e-11;
  pos(2, 2) = -1.2345678901234567e-100;
  pos(3, 3) = 0.1 + 0.2;
  pos(1, 3) = -0.0;
  domica::ccx_deck deck = domica::membrane_deck(p.mat, p.load);
  std::istringstream text(domica::ccx_text(p.nt, pos, deck));
  std::string line;
  std::getline(text, line);
  std::getline(text, line);
  for (int glob = 1; glob <= 3; ++glob) {
    std::getline(text, line);
    std::istringstream in(line);
    std::string field;
    std::getline(in, field, ',');
    for (int axis = 1; axis <= 3; ++axis) {
      std::getline(in, field, ',');
      if (field[0] == ' ') field.erase(0, 1);
      EXPECT_LE(field.size(), 20u) << field;
      if (pos(glob, axis) == 0.0) {
        EXPECT_EQ(field, "0");
      }
      double back = std::strtod(field.c_str(), nullptr);
      EXPECT_LE(std::fabs(back - pos(glob, axis)), 1e-12 * std::fabs(pos(glob, axis))) << field;
    }
  }
  pos(2, 3) = std::nan("");
  try {
    domica::ccx_text(p.nt, pos, deck);
    ADD_FAILURE() << "a NaN was written";
  } catch (const domica::failure& f) {
    EXPECT_EQ(f.status, domica::exit_solution);
  }
}

// The membrane deck of the flat clamped disk (tools/ccxdeck, for the
// side-by-side benchmark) lifts under the lifting pressure and ends near
// Hencky's centre deflection w0 = 0.065404 (CalculiX's S3 is 2 % above it on
// 469 nodes and comes down with refinement).
TEST(Ccx, MembraneDeckOfFlatDiskNearHencky) {
  NEEDS_OR_SKIP(have_ccx(), "ccx (calculix-ccx)");
  std::string dir = test::temp_dir("ccxdeck");
  test::write(dir + "/weblar.txt",
              test::makenet("disc numbering=rings radius=1 young=10000 poisson=0.3 thickness=0.1 pressure=-1 rings=6"));
  std::string command = std::string("'") + CCXDECK_EXE + "' '" + dir + "' > '" + dir + "/deck.txt'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  domica::fmat2 u = ccx_displacements(dir, "disk", test::read(dir + "/deck.txt"), 127);
  EXPECT_NEAR(u(1, 3) / 0.065404, 1.0, 0.06) << u(1, 3);
}

namespace {

// The value lines after the keyword line of `deck` that begins with
// `keyword`, up to the next keyword line, each split at its commas.
std::vector<std::vector<std::string>> block(const std::string& deck, const std::string& keyword) {
  std::istringstream in(deck);
  std::vector<std::vector<std::string>> out;
  bool inside = false;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("*", 0) == 0) {
      if (inside) break;
      inside = line.rfind(keyword, 0) == 0;
      continue;
    }
    if (!inside) continue;
    std::vector<std::string> fields;
    std::istringstream f(line);
    for (std::string v; std::getline(f, v, ',');) fields.push_back(v.substr(v.find_first_not_of(' ')));
    out.push_back(fields);
  }
  return out;
}

}  // namespace

// The deck of tools/ccxdeck carries the net's self-weight: density x
// acceleration x shell thickness x the area of its elements is weblar.txt's
// weight per volume x thickness x plan area, and E h is the membrane's.
TEST(Ccx, MembraneDeckKeepsWeightAndStiffnessPerArea) {
  std::string dir = test::temp_dir("ccxdeck");
  test::write(dir + "/weblar.txt", test::makenet("rect nx=3 ny=2 lx=4 ly=3 young=700 thickness=0.2 weight=2.5 pressure=-1"));
  std::string command = std::string("'") + CCXDECK_EXE + "' '" + dir + "' > '" + dir + "/deck.inp'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::string deck = test::read(dir + "/deck.inp");
  std::vector<std::vector<double>> nodes;
  for (const auto& f : block(deck, "*NODE")) nodes.push_back({std::stod(f[1]), std::stod(f[2]), std::stod(f[3])});
  double area = 0.0;
  for (const auto& f : block(deck, "*ELEMENT")) {
    const auto &a = nodes.at(std::stoul(f[1]) - 1), &b = nodes.at(std::stoul(f[2]) - 1), &c = nodes.at(std::stoul(f[3]) - 1);
    double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    area += 0.5 * std::hypot(u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]);
  }
  EXPECT_NEAR(area, 12.0, 1e-12);
  double density = std::stod(block(deck, "*DENSITY").at(0).at(0));
  double thickness = std::stod(block(deck, "*SHELL SECTION").at(0).at(0));
  double young = std::stod(block(deck, "*ELASTIC").at(0).at(0));
  double gravity = 0.0;
  for (const auto& f : block(deck, "*DLOAD"))
    if (f.at(1) == "GRAV") {
      gravity = std::stod(f.at(2));
      EXPECT_EQ(f.at(5), "-1") << "self-weight acts in -z";
    }
  EXPECT_NEAR(density * gravity * thickness * area, 2.5 * 0.2 * 12.0, 1e-12);
  EXPECT_NEAR(young * thickness, 700 * 0.2, 1e-10);
  // Thin enough that bending is negligible beside stretching.
  EXPECT_LE(thickness, 0.2 / 100);
}
