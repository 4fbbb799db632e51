// The check of a net before any work: every rigid-body motion of every piece
// is found and named, loads that nothing can hold are refused, findings that
// leave the result meaningful are warnings.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "model/failure.h"
#include "model/support_check.h"

using namespace domica;

namespace {

// The unit square of two triangles (nodes 1 to 4 anticlockwise), and a second
// square of nodes 5 to 8 shifted by 3 in x when `two` is set; `fixed` lists
// (node, axis).
problem squares(std::vector<std::pair<int, int>> fixed, bool two = false) {
  problem p;
  net& nt = p.nt;
  nt.nn = two ? 8 : 4;
  nt.ne = two ? 4 : 2;
  nt.xo = fmat1(nt.nn);
  nt.yo = fmat1(nt.nn);
  const double x[4] = {0, 1, 1, 0}, y[4] = {0, 0, 1, 1};
  for (int glob = 1; glob <= nt.nn; ++glob) {
    nt.xo(glob) = x[(glob - 1) % 4] + (glob > 4 ? 3.0 : 0.0);
    nt.yo(glob) = y[(glob - 1) % 4];
  }
  nt.tri = arr1<fixed1<std::int32_t, 3>>(nt.ne);
  for (int e = 1; e <= nt.ne; ++e) {
    int base = e > 2 ? 4 : 0;
    nt.tri(e)(1) = base + 1;
    nt.tri(e)(2) = base + (e % 2 == 1 ? 2 : 3);
    nt.tri(e)(3) = base + (e % 2 == 1 ? 3 : 4);
  }
  nt.fixed = imat2(nt.nn, 3);
  nt.known = fmat2(nt.nn, 3);
  nt.point = fmat2(nt.nn, 3);
  for (auto [glob, axis] : fixed) nt.fixed(glob, axis) = 1;
  return p;
}

// Node 1 held in x, y and z, node 2 in y and z, node 4 in z: held, nothing spare.
const std::vector<std::pair<int, int>> held = {{1, 1}, {1, 2}, {1, 3}, {2, 2}, {2, 3}, {4, 3}};

std::string refusal(const problem& p) {
  try {
    check_supports(p);
  } catch (const failure& f) {
    EXPECT_EQ(f.status, exit_input);
    return f.what();
  }
  return "accepted";
}

}  // namespace

TEST(SupportCheck, EachOfTheSixRigidBodyMotionsIsNamed) {
  EXPECT_TRUE(check_supports(squares(held)).empty());
  const std::string net = "weblar.txt: the net ";
  EXPECT_EQ(refusal(squares({{1, 2}, {1, 3}, {2, 2}, {2, 3}, {4, 3}})), net + "can slide along x: no x coordinate is fixed");
  EXPECT_EQ(refusal(squares({{1, 1}, {1, 3}, {2, 3}, {4, 1}, {4, 3}})), net + "can slide along y: no y coordinate is fixed");
  EXPECT_EQ(refusal(squares({{1, 1}, {1, 2}, {2, 2}})), net + "can move along z: no z coordinate is fixed");
  // x and y held at node 1 only: the net turns in plan about it.
  EXPECT_EQ(refusal(squares({{1, 1}, {1, 2}, {1, 3}, {2, 3}, {4, 3}})),
            net + "can turn in plan about the point (0, 0): its fixed x and y coordinates do not stop that rotation");
  // z held along the edge of nodes 1 and 2 (about x), or 1 and 4 (about y).
  EXPECT_EQ(refusal(squares({{1, 1}, {1, 2}, {1, 3}, {2, 2}, {2, 3}})),
            net + "can turn about the line through nodes 1 and 2: every node with a fixed z coordinate lies on that line");
  EXPECT_EQ(refusal(squares({{1, 1}, {1, 2}, {1, 3}, {2, 2}, {4, 3}})),
            net + "can turn about the line through nodes 1 and 4: every node with a fixed z coordinate lies on that line");
  EXPECT_EQ(refusal(squares({{1, 1}, {1, 2}, {1, 3}, {2, 2}})),
            net + "can tip about node 1: no node away from it has a fixed z coordinate");
}

TEST(SupportCheck, EveryPieceOfANetIsHeldOnItsOwn) {
  // The first square is held; the second is named by its lowest node.
  EXPECT_EQ(refusal(squares(held, true)),
            "weblar.txt: the piece of the net with lowest node 5 (of 2 separate pieces) can slide along x: no x coordinate is fixed");
  std::vector<std::pair<int, int>> both = held;
  for (auto [glob, axis] : held) both.push_back({glob + 4, axis});
  EXPECT_TRUE(check_supports(squares(both, true)).empty());
}

TEST(SupportCheck, LoadsNothingHoldsAndCornerOrder) {
  // Node 5 of a one-square net: in no triangle.
  problem p = squares(held, true);
  p.nt.ne = 2;
  std::vector<std::string> w = check_supports(p);
  ASSERT_EQ(w.size(), 1u);
  EXPECT_EQ(w[0], "node 5 and 3 more nodes belong to no triangle: not part of the shell, kept at the plan position");
  p.nt.point(6, 3) = -1.0;
  EXPECT_EQ(refusal(p), "weblar.txt: node 6 belongs to no triangle, yet carries a load along z on a free coordinate: nothing can hold it");
  // A load on a fixed coordinate does nothing: a warning.
  problem q = squares(held);
  q.nt.point(1, 3) = -1.0;
  w = check_supports(q);
  ASSERT_EQ(w.size(), 1u);
  EXPECT_EQ(w[0], "the point load on node 1 along z acts on a fixed coordinate and has no effect");
  // Triangle 2 turned clockwise: a warning without pressure, an error with one.
  q = squares(held);
  std::swap(q.nt.tri(2)(2), q.nt.tri(2)(3));
  w = check_supports(q);
  ASSERT_EQ(w.size(), 1u);
  EXPECT_NE(w[0].find("the corners of element 2 run clockwise seen from above, those of element 1 anticlockwise"), std::string::npos);
  q.load.pressure = -1.0;
  EXPECT_NE(refusal(q).find("element 2 run clockwise"), std::string::npos);
}
