// How the threads of an energy evaluation share a net: every part must
// compute or wait for each triangle its nodes' force sums read, and the
// chain's pieces must follow each other.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "mechanics/setup.h"
#include "mechanics/share.h"
#include "tests/testutil.h"

using namespace domica;

TEST(Share, EveryPartComputesOrWaitsForTheBlocksItsNodesNeed) {
  // Nodes numbered ring by ring and by reverse Cuthill-McKee (triangles ring
  // by ring in both), and the triangles shuffled.
  problem rings = test::problem_from_text(test::makenet("disc rings=20 radius=10 pressure=-1 numbering=rings"), program::domica_3);
  problem rcm = test::problem_from_text(test::makenet("disc rings=20 radius=10 pressure=-1"), program::domica_3);
  problem shuffled = rings;
  std::mt19937 rng(3);
  for (int e = shuffled.nt.ne; e > 1; --e) std::swap(shuffled.nt.tri(e), shuffled.nt.tri(1 + static_cast<int>(rng() % static_cast<unsigned>(e))));
  for (const problem* q : {&rings, &rcm, &shuffled}) {
    assembly as = setup(*q);
    const triangle_lanes& t = as.tris;
    for (int parts : {1, 2, 3, 5}) {
      std::vector<part_share> shares = shares_at(t, q->nt.nn, plan_cuts(t, q->nt.nn, as.d.n, parts));
      ASSERT_EQ(static_cast<int>(shares.size()), parts);
      std::vector<int> owner(static_cast<std::size_t>(q->nt.nn) + 1, -1), block_part(static_cast<std::size_t>(t.blocks), -1);
      std::vector<bool> outer(static_cast<std::size_t>(q->nt.nn) + 1, false);
      int chain = 0, lent = 0;
      for (int p = 0; p < parts; ++p) {
        const part_share& s = shares[static_cast<std::size_t>(p)];
        EXPECT_EQ(s.first, chain);
        ASSERT_TRUE(s.first <= s.lent && s.lent <= s.last);
        chain = s.last;
        lent += s.lent - s.first;
        for (int b = s.first; b < s.last; ++b) block_part[static_cast<std::size_t>(b)] = p;
        for (const std::vector<int>* runs : {&s.nodes, &s.outer})
          for (std::size_t r = 0; r < runs->size(); r += 2)
            for (int glob = (*runs)[r]; glob < (*runs)[r + 1]; ++glob) {
              EXPECT_EQ(owner[static_cast<std::size_t>(glob)], -1) << "node " << glob;
              owner[static_cast<std::size_t>(glob)] = p;
              outer[static_cast<std::size_t>(glob)] = runs == &s.outer;
            }
      }
      EXPECT_EQ(chain, t.blocks);
      EXPECT_EQ(std::count(owner.begin() + 1, owner.end(), -1), 0);
      for (int p = 0; p < parts; ++p) {
        const part_share& s = shares[static_cast<std::size_t>(p)];
        std::vector<bool> reads(static_cast<std::size_t>(q->nt.nn) + 1, false);
        for (std::size_t r = 0; r < s.u_nodes.size(); r += 2)
          for (int glob = s.u_nodes[r]; glob < s.u_nodes[r + 1]; ++glob) reads[static_cast<std::size_t>(glob)] = true;
        for (int e = 1; e <= q->nt.ne; ++e) {
          const int b = (e - 1) / lanes, maker = block_part[static_cast<std::size_t>(b)];
          for (int loc = 1; loc <= 3; ++loc) {
            const int glob = q->nt.tri(e)(loc);
            if (maker == p) {
              ASSERT_TRUE(reads[static_cast<std::size_t>(glob)]) << "triangle " << e;
            }
            if (owner[static_cast<std::size_t>(glob)] != p || maker == p) continue;
            // A triangle another part computes: a later one, that this part
            // waits for and that says so once the triangle is done.
            ASSERT_TRUE(outer[static_cast<std::size_t>(glob)] && maker > p) << parts << " parts, triangle " << e;
            EXPECT_TRUE(std::count(s.waits.begin(), s.waits.end(), maker) == 1 && b < shares[static_cast<std::size_t>(maker)].lent);
          }
        }
      }
      // Triangles ring by ring: two parts share only the blocks along one
      // ring. Shuffled, the first part would wait for many blocks of the
      // second, so the energy shares the net the other way (the bit-for-bit
      // test of the energy covers both ways on these nets).
      if (parts == 2) {
        if (q != &shuffled) EXPECT_LT(lent, t.blocks / 8);
        else EXPECT_GT(lent, t.blocks / 4);
      }
    }
  }
}

TEST(Share, RebalancingMovesACutTowardThePartThatFinishesLater) {
  problem q = test::problem_from_text(test::makenet("disc rings=20 radius=10 pressure=-1 numbering=rings"), program::domica_3);
  assembly as = setup(q);
  const triangle_lanes& t = as.tris;
  net_shares s;
  s.cuts = plan_cuts(t, q.nt.nn, as.d.n, 2);
  s.parts = shares_at(t, q.nt.nn, s.cuts);
  // Feeds a window of evaluations; returns the cut's move.
  auto window = [&](double first, double second) {
    const int before = s.cuts[1];
    const double finish[2] = {first, second};
    for (int k = 0; k < balance_window; ++k) {
      const bool moved = rebalance(s, t, q.nt.nn, finish);
      EXPECT_EQ(moved, k == balance_window - 1 && s.cuts[1] != before);
    }
    EXPECT_EQ(s.parts[0].last, s.cuts[1]);
    EXPECT_EQ(s.parts[1].first, s.cuts[1]);
    return s.cuts[1] - before;
  };
  // 10 us for 150 blocks a part: a block about 67 ns.
  EXPECT_EQ(window(10000, 10100), 0);           // within two blocks' time
  EXPECT_EQ(window(10000, 10250), 0);           // one block's move would not repay remaking the shares
  const int later = window(10000, 11000);        // part 1 a microsecond later: about 7 blocks
  EXPECT_TRUE(later >= 5 && later <= 8) << later;
  EXPECT_EQ(window(10000, 30000), t.blocks / 8);  // far later: at most an eighth of the blocks at once
  EXPECT_LT(window(12000, 10000), 0);
}
