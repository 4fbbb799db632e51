// The membrane energy and its gradient: exact against central differences on
// a real net, and the strain-free states.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "mechanics/energy.h"
#include "mechanics/pool.h"
#include "mechanics/share.h"
#include "tests/testutil.h"

using namespace domica;

TEST(Energy, GradientAgreesWithCentralDifferences) {
  // A real net with free and fixed coordinates and non-zero prescribed displacements.
  problem p = test::problem_from_text(test::makenet("disc rings=3 radius=4 pressure=-0.3 weight=0.7 young=50 poisson=0.25"),
                                      program::domica_3);
  for (int glob = 1; glob <= p.nt.nn; ++glob)
    if (p.nt.fixed(glob, 3) == 1) p.nt.known(glob, 3) = 0.1 * std::sin(glob);
  assembly as = setup(p);
  const int n = as.d.n;
  fmat2 force = fixed_loads(p, as);
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u(-0.3, 0.3);
  for (int trial = 0; trial < 3; ++trial) {
    fmat1 x(n), g(n), gp(n);
    for (int i = 1; i <= n; ++i) x(i) = u(rng);
    energy(p.nt, as, force, x, g);
    double worst = 0.0;
    for (int i = 1; i <= n; ++i) {
      const double h = 1e-6;
      fmat1 xp = x, xm = x;
      xp(i) += h;
      xm(i) -= h;
      double fd = (energy(p.nt, as, force, xp, gp) - energy(p.nt, as, force, xm, gp)) / (2 * h);
      worst = std::max(worst, std::fabs(fd - g(i)) / std::max(1.0, std::fabs(g(i))));
    }
    EXPECT_LT(worst, 1e-6) << "trial " << trial;
  }
}

TEST(Energy, StrainFreeStatesGiveOnlyTheLoadTerm) {
  problem p = test::one_triangle("1 2 3");
  assembly as = setup(p);
  const imat2& index = as.d.index;
  fmat2 force(3, 3);
  force(2, 3) = 4.0;
  // At x = 0 every strain vanishes: f = 0 and g = -force.
  fmat1 x0(9), g(9);
  EXPECT_EQ(energy(p.nt, as, force, x0, g), 0.0);
  EXPECT_EQ(g(index(2, 3)), -4.0);
  EXPECT_EQ(g(index(1, 1)), -0.0);
  // A rigid translation: only the load term remains.
  fmat1 x(9);
  for (int glob = 1; glob <= 3; ++glob) {
    x(index(glob, 1)) = 0.5;
    x(index(glob, 2)) = -0.25;
    x(index(glob, 3)) = 2.0;
  }
  EXPECT_NEAR(energy(p.nt, as, force, x, g), -8.0, 1e-15);
  // A stretch along plan x by (1 + t): energy 0.5 volume h11 exx^2.
  double t = 0.1;
  fmat1 s(9);
  s(index(2, 1)) = t;
  force.fill(0.0);
  double exx = t + t * t / 2;
  EXPECT_NEAR(energy(p.nt, as, force, s, g), 0.5 * 0.25 * as.hk.h11 * exx * exx, 1e-15);
}

// Same bits, signs of zeros included.
bool same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(Energy, LanesAndThreadsGiveThePlainLoopBitForBit) {
  // 2400 triangles: above the size from which the threads share the work
  // (each thread with its own forces); fixed coordinates with prescribed
  // heights, and a second copy with its triangles shuffled (threads' ranges
  // then share most nodes, so they meet to share the forces) and one
  // triangle fewer (a partly filled last block).
  problem p = test::problem_from_text(test::makenet("disc rings=20 radius=10 pressure=-1 weight=0.3"), program::domica_3);
  for (int glob = 1; glob <= p.nt.nn; ++glob)
    if (p.nt.fixed(glob, 3) == 1) p.nt.known(glob, 3) = 0.01 * std::cos(glob);
  problem shuffled = p;
  std::mt19937 rng(5);
  for (int e = shuffled.nt.ne; e > 1; --e) std::swap(shuffled.nt.tri(e), shuffled.nt.tri(1 + static_cast<int>(rng() % static_cast<unsigned>(e))));
  shuffled.nt.ne -= 1;
  for (const problem* q : {&p, &shuffled}) {
    assembly as = setup(*q);
    const int n = as.d.n;
    fmat2 force = fixed_loads(*q, as);
    std::uniform_real_distribution<double> u(-0.2, 0.2);
    // Random displacements, and the flat plan, whose zeros carry signs.
    fmat1 random(n), flat(n), g1(n), g2(n);
    for (int i = 1; i <= n; ++i) random(i) = u(rng);
    for (const fmat1* x : {&random, &flat}) {
      double plain = energy_plain(q->nt, as, force, *x, g1);
      std::vector<lane_set> sets{lane_set::generic};
      if (widest_lanes() != lane_set::generic) sets.push_back(lane_set::avx2);
      if (widest_lanes() == lane_set::avx512) sets.push_back(lane_set::avx512);
      for (int threads : {1, 2, 3, 5, -2, -3}) {
        // Negative: as many threads, the cuts moved at random as keeping the
        // parts balanced may move them.
        set_energy_threads(std::abs(threads));
        if (threads < 0) {
          std::vector<int> cuts{0};
          for (int p = 1; p < -threads; ++p) cuts.push_back(cuts.back() + static_cast<int>(rng() % static_cast<unsigned>(as.tris.blocks - cuts.back())));
          cuts.push_back(as.tris.blocks);
          as.tris.shares.cuts = cuts;
          as.tris.shares.parts = shares_at(as.tris, q->nt.nn, cuts);
        }
        for (lane_set set : sets) {
          g2.fill(std::nan(""));  // every entry must be written, not left from the evaluation before
          EXPECT_TRUE(same(energy_lanes(q->nt, as, force, *x, g2, set), plain)) << threads << " threads, set " << static_cast<int>(set);
          for (int i = 1; i <= n; ++i)
            ASSERT_TRUE(same(g2(i), g1(i))) << threads << " threads, set " << static_cast<int>(set) << ", coordinate " << i;
        }
      }
    }
  }
  set_energy_threads(0);
}
