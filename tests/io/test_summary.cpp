// The designer's summary on a unit square of two triangles (corners 1 and 2
// fixed), with forces set by hand.
#include <gtest/gtest.h>

#include "io/summary.h"
#include "tests/testutil.h"

using namespace domica;

TEST(Summary, RiseCompressionAndTension) {
  problem p = test::problem_from_text(test::square_weblar(program::domica_3), program::domica_3);
  numbering d = number(p.nt);
  fmat1 x(d.n);
  x(d.index(3, 3)) = 0.5;
  x(d.index(4, 3)) = 0.25;
  surface sf = make_surface(p.nt, d, x);
  membrane_forces f;
  f.tri = arr1<tri_force>(2);
  f.tri(1).n1 = -1.0;
  f.tri(1).n2 = -3.0;
  f.tri(1).area = 0.6;
  f.tri(2).n1 = -0.5;
  f.tri(2).n2 = -2.0;
  f.tri(2).area = 0.4;
  EXPECT_EQ(summary_text(p.nt, sf, f),
            "Rise 0.5 over a plan span of 1 (rise/span 0.5)\n"
            "Largest tension: none\n"
            "Largest compression n2 = -3 in triangle 1\n"
            "In compression: 100.0 % of the surface\n"
            "No part of the shell is in tension.\n");
  f.tri(2).n1 = 2.0;
  std::string s = summary_text(p.nt, sf, f);
  EXPECT_NE(s.find("Largest tension n1 = 2 in triangle 2\n"), std::string::npos) << s;
  EXPECT_NE(s.find("In compression: 60.0 % of the surface (triangles with no principal tension; 1 triangles"), std::string::npos) << s;
  EXPECT_NE(s.find("Part of the shell is in tension: 1 of 2 triangles, 40.0 % of the surface"), std::string::npos) << s;
  EXPECT_EQ(s.find("Every triangle"), std::string::npos) << s;
  // Tension both ways everywhere: the form to turn upside down.
  f.tri(1) = f.tri(2);
  f.tri(2).n2 = 1.0;
  EXPECT_EQ(summary_text(p.nt, sf, f).find("Every triangle is in tension both ways"), std::string::npos);
  f.tri(1).n2 = 1.0;
  EXPECT_NE(summary_text(p.nt, sf, f).find("Every triangle is in tension both ways"), std::string::npos);
  f.tri(1).n1 = -1.0;
  f.tri(1).n2 = -3.0;
  f.tri(2).n2 = -2.0;
  // Rounding noise of an unstressed triangle is no tension.
  f.tri(2).n1 = 1e-12;
  EXPECT_NE(summary_text(p.nt, sf, f).find("No part of the shell is in tension."), std::string::npos);
}
