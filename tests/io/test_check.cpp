// The found shell's deck and what comes back from CalculiX: the load cases'
// totals, the reader of a stored .dat file of a small shell (made by ccx 2.20
// from the deck beside it) and the figures of check.json drawn from it.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "io/ccx.h"
#include "io/ccx_dat.h"
#include "io/check.h"
#include "model/failure.h"
#include "tests/testutil.h"

namespace {

// A 3 x 3 grid of squares over 3 x 3, each cut into two triangles running
// anticlockwise, lifted to a cap of rise 0.6, held at its four corners.
struct small_shell {
  domica::net nt;
  domica::fmat2 pos;
  small_shell() {
    const int n = 4;
    nt.nn = n * n;
    nt.ne = 2 * (n - 1) * (n - 1);
    nt.xo = domica::fmat1(nt.nn);
    nt.yo = domica::fmat1(nt.nn);
    nt.tri = domica::arr1<domica::fixed1<std::int32_t, 3>>(nt.ne);
    nt.fixed = domica::imat2(nt.nn, 3);
    nt.known = domica::fmat2(nt.nn, 3);
    nt.point = domica::fmat2(nt.nn, 3);
    pos = domica::fmat2(nt.nn, 3);
    for (int j = 0; j < n; ++j)
      for (int i = 0; i < n; ++i) {
        int g = j * n + i + 1;
        nt.xo(g) = pos(g, 1) = i;
        nt.yo(g) = pos(g, 2) = j;
        pos(g, 3) = 0.6 * (i * (3.0 - i) / 2.25) * (j * (3.0 - j) / 2.25) + 0.1 * (i + j > 0 && i + j < 6 && (i == 0 || i == 3 || j == 0 || j == 3));
      }
    int e = 0;
    for (int j = 0; j + 1 < n; ++j)
      for (int i = 0; i + 1 < n; ++i) {
        int a = j * n + i + 1, b = a + 1, c = a + n + 1, d = a + n;
        nt.tri(++e)(1) = a, nt.tri(e)(2) = b, nt.tri(e)(3) = c;
        nt.tri(++e)(1) = a, nt.tri(e)(2) = c, nt.tri(e)(3) = d;
      }
    for (int g : {1, n, n * n - n + 1, n * n})
      for (int axis = 1; axis <= 3; ++axis) nt.fixed(g, axis) = 1;
  }
};

domica::ccx_deck concrete(double snow) {
  domica::shell_rec s;
  s.thick = 0.1;
  s.gravity = 9.81;
  s.pressure = -1000.0;
  s.concrete.ex = 3e10;
  s.concrete.nuxy = 0.2;
  s.concrete.dens = 2500;
  return domica::shell_deck(s, snow);
}

double total(const domica::fmat2& load, int axis) {
  double t = 0.0;
  for (int g = 1; g <= load.rows(); ++g) t += load(g, axis);
  return t;
}

const std::string data = std::string(SOURCE_DIR) + "/tests/io/data/";

}  // namespace

// The cases carry what they say: self-weight over the found area, snow over
// the plan (exactly half of it for half snow, on the side x < 1.5), the
// pressure along the normals; a negative gravity still loads downwards.
TEST(Check, LoadCasesCarryTheirTotals) {
  small_shell s;
  domica::ccx_deck deck = concrete(1000.0);
  domica::ccx_loads loads = domica::ccx_cases(s.nt, s.pos, deck);
  ASSERT_EQ(loads.cases.size(), 4u);
  EXPECT_EQ(loads.cases[0].name, "self-weight");
  EXPECT_EQ(loads.cases[3].name, "pressure");
  EXPECT_EQ(loads.buckling, 1);
  double area = 0.0;
  for (int e = 1; e <= s.nt.ne; ++e) {
    double u[3], v[3];
    for (int a = 1; a <= 3; ++a)
      u[a - 1] = s.pos(s.nt.tri(e)(2), a) - s.pos(s.nt.tri(e)(1), a), v[a - 1] = s.pos(s.nt.tri(e)(3), a) - s.pos(s.nt.tri(e)(1), a);
    area += 0.5 * std::hypot(u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]);
  }
  double weight = 2500 * 9.81 * 0.1 * area;
  EXPECT_NEAR(total(loads.cases[0].load, 3), -weight, 1e-9 * weight);
  EXPECT_NEAR(total(loads.cases[1].load, 3), -weight - 9000.0, 1e-9 * weight);
  EXPECT_NEAR(total(loads.cases[2].load, 3), -weight - 4500.0, 1e-9 * weight);
  double left = 0.0;
  for (int g = 1; g <= s.nt.nn; ++g)
    if (s.pos(g, 1) > 1.5) left += loads.cases[2].load(g, 3) - loads.cases[0].load(g, 3);
  EXPECT_LT(std::fabs(left), 4500.0 / 4) << "the half snow sits mostly on the nodes of its half";
  // A lifting pressure: up over the plan area, nothing sideways in total.
  EXPECT_NEAR(total(loads.cases[3].load, 3), 1000.0 * 9.0, 1e-9);
  EXPECT_NEAR(total(loads.cases[3].load, 1), 0.0, 1e-9);
  domica::shell_rec upwards;
  upwards.thick = 0.1, upwards.gravity = -9.81, upwards.concrete.dens = 2500;
  domica::ccx_loads neg = domica::ccx_cases(s.nt, s.pos, domica::shell_deck(upwards));
  ASSERT_EQ(neg.cases.size(), 1u);
  EXPECT_NEAR(total(neg.cases[0].load, 3), -weight, 1e-9 * weight);
  EXPECT_EQ(neg.buckling, 0);
  // No load at all: no buckling step.
  upwards.gravity = 0.0;
  EXPECT_EQ(domica::ccx_cases(s.nt, s.pos, domica::shell_deck(upwards)).buckling, -1);
}

// The stored .dat of the stored deck: four steps, four buckling factors and
// their modes; the reactions balance each case's load, the self-weight of a
// cap is in compression at its worst, the factors come out ascending.
TEST(Check, ReaderAndFiguresOfStoredResults) {
  small_shell s;
  domica::ccx_deck deck = concrete(1000.0);
  std::string text = domica::ccx_text(s.nt, s.pos, deck);
  test::write(test::temp_dir("check") + "/small.inp", text);
  ASSERT_EQ(text, test::read(data + "check_small.inp")) << "the deck changed: make check_small.dat anew with ccx";
  std::string dat = test::read(data + "check_small.dat");
  domica::ccx_result res = domica::read_ccx_dat(dat, "small.dat", s.nt.nn, s.nt.ne, 4, true);
  ASSERT_EQ(res.steps.size(), 4u);
  ASSERT_EQ(res.factors.size(), 4u);
  ASSERT_EQ(res.modes.size(), 4u);
  domica::ccx_loads loads = domica::ccx_cases(s.nt, s.pos, deck);
  domica::check_record c = domica::check_figures(s.nt, s.pos, loads, res);
  ASSERT_EQ(c.cases.size(), 4u);
  for (std::size_t k = 0; k < 4; ++k) {
    SCOPED_TRACE(c.cases[k].name);
    for (int axis = 1; axis <= 3; ++axis) {
      double load = total(loads.cases[k].load, axis);
      EXPECT_NEAR(c.cases[k].reaction[axis - 1], -load, 1e-5 * std::fabs(total(loads.cases[k].load, 3)));
    }
    EXPECT_GT(c.cases[k].max_displacement, 0.0);
  }
  EXPECT_LT(c.cases[0].min_principal, 0.0);
  for (std::size_t i = 1; i < c.factors.size(); ++i) EXPECT_LE(c.factors[i - 1], c.factors[i]);
  EXPECT_EQ(c.buckling_load, "snow");
  std::string json = domica::check_json(c);
  for (const char* key : {"\"name\": \"half snow\"", "\"reaction\": [", "\"buckling_factors\": [", "\"buckling_load\": \"snow\""})
    EXPECT_NE(json.find(key), std::string::npos) << key;
}

// A .dat that is cut short, holds a value that is not finite or names a node
// the shell has not is a failed check naming the file (and the line).
TEST(Check, ReaderRefusesBadResults) {
  small_shell s;
  std::string dat = test::read(data + "check_small.dat");
  struct bad {
    std::string text, says;
  };
  std::size_t cut = dat.find("stresses");
  std::size_t first = dat.find("\n", dat.find("displacements")) + 2;  // the blank line, then the first row
  std::string nan = dat, far = dat;
  std::size_t row = dat.find("         1 ", first);
  nan.replace(dat.find("E", row + 12) - 9, 13, "          NaN");
  far.replace(row, 11, "        99 ");
  for (const bad& b : {bad{dat.substr(0, cut), "small.dat: expected the displacements of 4 load cases, found 1"}, bad{nan, "small.dat: line "},
                       bad{far, "node 99 is not one of the shell's 16"}, bad{"", "small.dat: expected the displacements"}}) {
    try {
      domica::read_ccx_dat(b.text, "small.dat", s.nt.nn, s.nt.ne, 4, true);
      ADD_FAILURE() << "read: " << b.says;
    } catch (const domica::failure& f) {
      EXPECT_EQ(f.status, domica::exit_solution);
      EXPECT_NE(std::string(f.what()).find(b.says), std::string::npos) << f.what();
    }
  }
}

// Principal stresses of a stress with shear in every plane, against the
// invariants.
TEST(Check, PrincipalStresses) {
  const double s[6] = {-3.0e6, 1.0e6, 0.5e6, 2.0e6, -0.7e6, 0.3e6};
  double p[3];
  domica::principal_stresses(s, p);
  EXPECT_LE(p[0], p[1]);
  EXPECT_LE(p[1], p[2]);
  double i1 = s[0] + s[1] + s[2];
  double i2 = s[0] * s[1] + s[1] * s[2] + s[2] * s[0] - s[3] * s[3] - s[4] * s[4] - s[5] * s[5];
  EXPECT_NEAR(p[0] + p[1] + p[2], i1, 1e-6);
  EXPECT_NEAR((p[0] * p[1] + p[1] * p[2] + p[2] * p[0]) / 1e12, i2 / 1e12, 1e-9);
  const double plane[6] = {-2.0, 5.0, 0.0, 0.0, 0.0, 0.0};
  domica::principal_stresses(plane, p);
  EXPECT_EQ(p[0], -2.0);
  EXPECT_EQ(p[2], 5.0);
}
