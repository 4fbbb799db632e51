// shell.dxf and shell.obj of a found surface: read back by a small DXF
// reader (group code and value lines, 3DFACE corners 10..13, 20..23,
// 30..33), the OBJ faces 1-based; a position that is not finite is never
// written. summary.json refuses a figure that is not finite too.
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "io/shapes.h"
#include "io/summary.h"
#include "model/failure.h"
#include "tests/testutil.h"

using namespace domica;

namespace {

struct face {
  std::string layer;
  double corner[4][3];
};

// The 3DFACEs of a DXF text; false when its groups are not pairs of a code
// line and a value line, or its sections are not closed and ended by EOF.
bool read_dxf(const std::string& text, std::vector<face>& faces) {
  std::istringstream in(text);
  std::vector<std::pair<int, std::string>> groups;
  for (std::string code, value; std::getline(in, code);) {
    if (!std::getline(in, value)) return false;
    groups.push_back({std::stoi(code), value});
  }
  if (groups.empty() || groups.back() != std::pair<int, std::string>{0, "EOF"}) return false;
  int open = 0;
  face* f = nullptr;
  for (const auto& [code, value] : groups) {
    if (code == 0) {
      f = nullptr;
      if (value == "SECTION") ++open;
      else if (value == "ENDSEC") --open;
      else if (value == "3DFACE") f = &faces.emplace_back();
    } else if (f && code == 8) {
      f->layer = value;
    } else if (f && code >= 10 && code <= 33 && code % 10 <= 3) {
      f->corner[code % 10][code / 10 - 1] = std::stod(value);
    }
  }
  return open == 0;
}

surface found_square(problem& p) {
  p = test::problem_from_text(test::square_weblar(program::domica_3), program::domica_3);
  numbering d = number(p.nt);
  fmat1 x(d.n);
  x(d.index(3, 3)) = 0.5;
  x(d.index(4, 3)) = -0.1;
  x(d.index(3, 1)) = 1.0 / 3.0;
  return make_surface(p.nt, d, x);
}

}  // namespace

TEST(Shapes, DxfAndObjHoldTheFoundTriangles) {
  problem p;
  surface sf = found_square(p);
  std::vector<face> faces;
  ASSERT_TRUE(read_dxf(dxf_text(p.nt, sf), faces));
  ASSERT_EQ(static_cast<int>(faces.size()), p.nt.ne);
  std::istringstream obj(obj_text(p.nt, sf));
  std::vector<std::vector<double>> v;
  std::vector<std::vector<int>> f;
  for (std::string line; std::getline(obj, line);) {
    std::istringstream l(line);
    std::string kind;
    l >> kind;
    if (kind == "v") v.emplace_back(std::istream_iterator<double>(l), std::istream_iterator<double>());
    if (kind == "f") f.emplace_back(std::istream_iterator<int>(l), std::istream_iterator<int>());
  }
  ASSERT_EQ(static_cast<int>(v.size()), p.nt.nn);
  ASSERT_EQ(static_cast<int>(f.size()), p.nt.ne);
  for (int e = 1; e <= p.nt.ne; ++e) {
    EXPECT_EQ(faces[e - 1].layer, "SHELL");
    for (int c = 0; c < 4; ++c) {
      int glob = p.nt.tri(e)(c < 3 ? c + 1 : 3);  // a triangle repeats its third corner
      if (c < 3) {
        EXPECT_EQ(f[e - 1][c], glob);
      }
      for (int axis = 1; axis <= 3; ++axis) {
        EXPECT_EQ(faces[e - 1].corner[c][axis - 1], sf.pos(glob, axis));  // shortest exact form
        EXPECT_EQ(v[glob - 1][axis - 1], sf.pos(glob, axis));
      }
    }
  }
  sf.pos(2, 3) = std::numeric_limits<double>::infinity();
  for (auto writer : {dxf_text, obj_text}) {
    try {
      writer(p.nt, sf);
      ADD_FAILURE() << "a position that is not finite was written";
    } catch (const failure& e) {
      EXPECT_EQ(e.status, exit_solution);
    }
  }
}

TEST(Shapes, SummaryAdviceAndJsonNumbers) {
  problem p;
  surface sf = found_square(p);
  membrane_forces f;
  f.tri = arr1<tri_force>(2);
  for (int e = 1; e <= 2; ++e) f.tri(e) = tri_force{0, 0, 0, 2.0, 1.0, {}, 1.0, 0.5};
  form_facts inflated;
  inflated.lifted = true;
  EXPECT_NE(summary_text(p.nt, sf, f, inflated).find("an inflated form, upright as it stands"), std::string::npos);
  EXPECT_EQ(summary_text(p.nt, sf, f, inflated).find("upside down"), std::string::npos);
  EXPECT_NE(summary_text(p.nt, sf, f).find("a hanging form; turned upside down"), std::string::npos);
  // One principal tension and the largest compression in the same triangle:
  // the share in compression says what it counts.
  f.tri(1).n2 = -3.0;
  std::string s = summary_text(p.nt, sf, f);
  EXPECT_NE(s.find("Largest compression n2 = -3 in triangle 1\n"), std::string::npos) << s;
  EXPECT_NE(s.find("In compression: 0.0 % of the surface (triangles with no principal tension; 1 triangles"), std::string::npos) << s;
  run_facts run;
  run.program = "domica_3";
  shell_figures fig = figures(p.nt, sf, f);
  EXPECT_EQ(fig.least, 1);
  EXPECT_NE(summary_json(run, fig).find("\"largest_compression\": {\"triangle\": 1, \"n\": -3}"), std::string::npos);
  run.norm = std::nan("");
  try {
    summary_json(run, fig);
    ADD_FAILURE() << "NaN written";
  } catch (const failure& e) {
    EXPECT_EQ(e.status, exit_solution);
  }
}
