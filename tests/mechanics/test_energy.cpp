// The membrane energy and its gradient: exact against central differences on
// a real net, the strain-free states, the same bits on every path, and
// solutions with workspaces of their own on threads of one process.
#include <gtest/gtest.h>

#include <sched.h>

#include <cmath>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "mechanics/energy.h"
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
  energy_workspace ws;
  for (int trial = 0; trial < 3; ++trial) {
    fmat1 x(n), g(n), gp(n);
    for (int i = 1; i <= n; ++i) x(i) = u(rng);
    energy(p.nt, as, force, x, g, ws);
    double worst = 0.0;
    for (int i = 1; i <= n; ++i) {
      const double h = 1e-6;
      fmat1 xp = x, xm = x;
      xp(i) += h;
      xm(i) -= h;
      double fd = (energy(p.nt, as, force, xp, gp, ws) - energy(p.nt, as, force, xm, gp, ws)) / (2 * h);
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
  energy_workspace ws;
  // At x = 0 every strain vanishes: f = 0 and g = -force.
  fmat1 x0(9), g(9);
  EXPECT_EQ(energy(p.nt, as, force, x0, g, ws), 0.0);
  EXPECT_EQ(g(index(2, 3)), -4.0);
  EXPECT_EQ(g(index(1, 1)), -0.0);
  // A rigid translation: only the load term remains.
  fmat1 x(9);
  for (int glob = 1; glob <= 3; ++glob) {
    x(index(glob, 1)) = 0.5;
    x(index(glob, 2)) = -0.25;
    x(index(glob, 3)) = 2.0;
  }
  EXPECT_NEAR(energy(p.nt, as, force, x, g, ws), -8.0, 1e-15);
  // A stretch along plan x by (1 + t): energy 0.5 volume h11 exx^2.
  double t = 0.1;
  fmat1 s(9);
  s(index(2, 1)) = t;
  force.fill(0.0);
  double exx = t + t * t / 2;
  EXPECT_NEAR(energy(p.nt, as, force, s, g, ws), 0.5 * 0.25 * as.hk.h11 * exx * exx, 1e-15);
}

// Same bits, signs of zeros included.
bool same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }
bool same(const fmat1& a, const fmat1& b, int n) { return std::memcmp(a.data(), b.data(), sizeof(double) * static_cast<std::size_t>(n)) == 0; }

// A disc of 2400 triangles, above the size from which the threads share the
// work, with fixed coordinates at prescribed heights; and a copy with its
// triangles shuffled (each thread's blocks then touch most nodes) and one
// triangle fewer (a partly filled last block).
std::vector<problem> shared_nets() {
  problem p = test::problem_from_text(test::makenet("disc rings=20 radius=10 pressure=-1 weight=0.3"), program::domica_3);
  for (int glob = 1; glob <= p.nt.nn; ++glob)
    if (p.nt.fixed(glob, 3) == 1) p.nt.known(glob, 3) = 0.01 * std::cos(glob);
  problem shuffled = p;
  std::mt19937 rng(5);
  for (int e = shuffled.nt.ne; e > 1; --e) std::swap(shuffled.nt.tri(e), shuffled.nt.tri(1 + static_cast<int>(rng() % static_cast<unsigned>(e))));
  shuffled.nt.ne -= 1;
  return {p, shuffled};
}

fmat1 random_displacements(int n, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(-0.2, 0.2);
  fmat1 x(n);
  for (int i = 1; i <= n; ++i) x(i) = u(rng);
  return x;
}

TEST(Energy, LanesAndThreadsGiveThePlainLoopBitForBit) {
  std::vector<lane_set> sets{lane_set::generic};
  if (widest_lanes() != lane_set::generic) sets.push_back(lane_set::avx2);
  if (widest_lanes() == lane_set::avx512) sets.push_back(lane_set::avx512);
  for (const problem& q : shared_nets()) {
    ASSERT_GT(q.nt.ne, 2000);
    assembly as = setup(q);
    const int n = as.d.n;
    fmat2 force = fixed_loads(q, as);
    // Random displacements, and the flat plan, whose zeros carry signs.
    fmat1 random = random_displacements(n, 3), flat(n), g1(n), g2(n);
    for (const fmat1* x : {&random, &flat}) {
      double plain = energy_plain(q.nt, as, force, *x, g1);
      for (int threads : {1, 2, 3}) {
        energy_workspace ws(threads);
        ASSERT_EQ(ws.threads(), threads);
        // Back to back, so that the workers are awake for some and asleep for others.
        for (int repeat = 0; repeat < 3; ++repeat)
          for (lane_set set : sets) {
            g2.fill(std::nan(""));  // every entry must be written, not left from the evaluation before
            EXPECT_TRUE(same(energy_lanes(q.nt, as, force, *x, g2, set, ws), plain)) << threads << " threads, set " << static_cast<int>(set);
            ASSERT_TRUE(same(g2, g1, n)) << threads << " threads, set " << static_cast<int>(set);
          }
      }
    }
  }
}

TEST(Energy, TwoWorkspacesAtOnceGiveWhatEachGivesAlone) {
  // Two solutions on two threads of one process, each with a workspace of two
  // threads, on different nets; a workspace moved into place serves as well.
  std::vector<problem> nets = shared_nets();
  std::vector<assembly> as;
  std::vector<fmat2> force;
  std::vector<std::vector<fmat1>> xs(2);
  std::vector<std::vector<double>> alone_f(2);
  std::vector<std::vector<fmat1>> alone_g(2);
  for (std::size_t k = 0; k < 2; ++k) {
    as.push_back(setup(nets[k]));
    force.push_back(fixed_loads(nets[k], as[k]));
    for (unsigned seed = 1; seed <= 4; ++seed) {
      xs[k].push_back(random_displacements(as[k].d.n, seed + 10 * static_cast<unsigned>(k)));
      fmat1 g(as[k].d.n);
      alone_f[k].push_back(energy_plain(nets[k].nt, as[k], force[k], xs[k].back(), g));
      alone_g[k].push_back(g);
    }
  }
  std::vector<energy_workspace> ws(2);
  for (energy_workspace& w : ws) w = energy_workspace(2);
  std::vector<int> wrong(2);
  auto solution = [&](std::size_t k) {
    fmat1 g(as[k].d.n);
    for (int round = 0; round < 25; ++round)
      for (std::size_t i = 0; i < xs[k].size(); ++i) {
        double f = energy(nets[k].nt, as[k], force[k], xs[k][i], g, ws[k]);
        wrong[k] += !same(f, alone_f[k][i]) || !same(g, alone_g[k][i], as[k].d.n);
      }
  };
  std::thread other(solution, 1);
  solution(0);
  other.join();
  EXPECT_EQ(wrong[0], 0);
  EXPECT_EQ(wrong[1], 0);
}

TEST(Energy, DefaultThreadsFollowTheNetSizeAndTheCpusThisProcessMayUse) {
  EXPECT_EQ(default_energy_threads(2400), 1);
  cpu_set_t was, one;
  ASSERT_EQ(sched_getaffinity(0, sizeof was, &was), 0);
  EXPECT_EQ(default_energy_threads(1000000), CPU_COUNT(&was));
  // Pinned to one CPU (as by taskset), a large net takes one thread too.
  int cpu = 0;
  while (!CPU_ISSET(cpu, &was)) ++cpu;
  CPU_ZERO(&one);
  CPU_SET(cpu, &one);
  ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
  EXPECT_EQ(default_energy_threads(1000000), 1);
  ASSERT_EQ(sched_setaffinity(0, sizeof was, &was), 0);
}
