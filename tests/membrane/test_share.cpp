// How the threads of an energy evaluation share a net: every part must
// compute each triangle its nodes' force sums read, and the chain's pieces
// must follow each other.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "membrane/setup.h"
#include "membrane/share.h"
#include "tests/testutil.h"

using namespace domica;

TEST(Share, EveryPartComputesTheBlocksItsNodesNeed) {
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
      std::vector<part_share> shares = share_out(t, q->nt.nn, as.d.n, parts);
      ASSERT_EQ(static_cast<int>(shares.size()), parts);
      std::vector<int> owner(static_cast<std::size_t>(q->nt.nn) + 1, -1);
      int chain = 0, computed = 0;
      for (int p = 0; p < parts; ++p) {
        const part_share& s = shares[static_cast<std::size_t>(p)];
        EXPECT_EQ(s.chain_lo, chain);
        chain = s.chain_hi;
        std::vector<bool> reads(static_cast<std::size_t>(q->nt.nn) + 1, false);
        for (std::size_t r = 0; r < s.nodes.size(); r += 2)
          for (int glob = s.nodes[r]; glob < s.nodes[r + 1]; ++glob) {
            EXPECT_EQ(owner[static_cast<std::size_t>(glob)], -1) << "node " << glob;
            owner[static_cast<std::size_t>(glob)] = p;
          }
        for (std::size_t r = 0; r < s.u_nodes.size(); r += 2)
          for (int glob = s.u_nodes[r]; glob < s.u_nodes[r + 1]; ++glob) reads[static_cast<std::size_t>(glob)] = true;
        std::vector<bool> has(static_cast<std::size_t>(t.blocks), false);
        for (std::size_t r = 0; r < s.runs.size(); r += 2)
          for (int b = s.runs[r]; b < s.runs[r + 1]; ++b) {
            ASSERT_TRUE(b >= s.first && b < s.last);
            has[static_cast<std::size_t>(b)] = true;
            ++computed;
          }
        for (int b = s.chain_lo; b < s.chain_hi; ++b) EXPECT_TRUE(has[static_cast<std::size_t>(b)]) << "chain block " << b;
        for (int e = 1; e <= q->nt.ne; ++e) {
          const bool computes = has[static_cast<std::size_t>((e - 1) / lanes)];
          for (int loc = 1; loc <= 3; ++loc) {
            const int glob = q->nt.tri(e)(loc);
            if (computes) {
              ASSERT_TRUE(reads[static_cast<std::size_t>(glob)]) << "triangle " << e;
            }
            if (owner[static_cast<std::size_t>(glob)] == p) {
              ASSERT_TRUE(computes) << parts << " parts, triangle " << e;
            }
          }
        }
      }
      EXPECT_EQ(chain, t.blocks);
      EXPECT_EQ(std::count(owner.begin() + 1, owner.end(), -1), 0);
      // Triangles ring by ring: two parts share only the blocks along one
      // ring. Shuffled, they would compute many blocks twice, so the energy
      // shares each block once instead (the bit-for-bit test of the energy
      // covers both ways on these nets).
      if (parts == 2) {
        if (q != &shuffled) EXPECT_LT(computed, t.blocks + t.blocks / 8);
        else EXPECT_GT(computed, t.blocks + t.blocks / 4);
      }
    }
  }
}
