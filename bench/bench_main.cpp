// Timings of the inner loops and of whole solutions on the bundled nets.
//   build/bench/domica_bench [--benchmark_filter=...]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <random>
#include <vector>

#include "bench/disc.h"
#include "io/input.h"
#include "domica_2/driver.h"
#include "mechanics/tangent.h"
#include "domica_3/driver.h"
#include "mechanics/energy.h"
#include "numerics/lu.h"

using namespace domica;

namespace {

problem load(const char* example, program p) {
  return input(p, std::string(SOURCE_DIR) + "/examples/" + example + "/weblar.txt", "weblar.txt");
}

// Energy and gradient of domica_3 at random displacements under the full
// pressure. First argument, the net: 0 the large dome example (2791 nodes,
// 5400 triangles), 20 or 58 the disc of that many rings (1261 nodes, 2400
// triangles; 10267 nodes, 20184 triangles). Second: 0 the plain loop, 1 the
// vector lanes on one thread, 2 on two threads. Besides the mean, the
// counters p5_us, p20_us and p50_us give quantiles of the single calls.
void energy_nets(benchmark::State& state) {
  // net: 0 the large dome, k > 0 a disc of k rings numbered ring by ring,
  // -k the same numbered by reverse Cuthill-McKee.
  int net = static_cast<int>(state.range(0));
  problem p = net == 0 ? load("large_dome/domica_3", program::domica_3) : hencky_disc(std::abs(net), program::domica_3, net < 0);
  state3 s = start3(p);
  std::mt19937 rng(1);
  std::uniform_real_distribution<double> u(-0.01, 0.01);
  for (int i = 1; i <= s.as.d.n; ++i) s.x(i) = u(rng);
  setforce(p.nt, s.as.d, p.load.pressure, 1.0, s.x, s.loads, s.ld);
  int mode = static_cast<int>(state.range(1));
  energy_workspace ws(std::max(mode, 1));
  // Each call timed as well: on a shared host other guests take a core now
  // and then, and the mean shows them; the per-call quantiles show the code.
  std::vector<double> calls;
  calls.reserve(static_cast<std::size_t>(state.max_iterations));
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(mode == 0 ? energy_plain(p.nt, s.as, s.ld.force, s.x, s.g) : energy(p.nt, s.as, s.ld.force, s.x, s.g, ws));
    calls.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(calls.begin(), calls.end());
  for (const auto& [name, q] : {std::pair{"p5_us", 5}, {"p20_us", 20}, {"p50_us", 50}})
    state.counters[name] = calls.empty() ? 0.0 : calls[calls.size() * static_cast<std::size_t>(q) / 100];
  state.SetItemsProcessed(state.iterations() * p.nt.ne);
}
BENCHMARK(energy_nets)->ArgsProduct({{20, -20, 0, 58}, {0, 1, 2}})->ArgNames({"net", "threads"})->UseRealTime();

// Force setting of domica_3 on the large dome.
void setforce_large_dome(benchmark::State& state) {
  problem p = load("large_dome/domica_3", program::domica_3);
  state3 s = start3(p);
  for (auto _ : state) setforce(p.nt, s.as.d, p.load.pressure, 0.5, s.x, s.loads, s.ld);
  state.SetItemsProcessed(state.iterations() * p.nt.ne);
}
BENCHMARK(setforce_large_dome);

// Residual and tangent of one triangle.
void element_tangent(benchmark::State& state) {
  problem p = load("pneumatic_dome/domica_2", program::domica_2);
  state2 s = start2(p);
  s.x.fill(0.01);
  fvec9x1 re;
  fmat9x9 se;
  for (auto _ : state) {
    element(p.nt, s.as, 7, -1.0, s.x, re, se);
    benchmark::DoNotOptimize(se);
  }
}
BENCHMARK(element_tangent);

// Dense LU solve of order n.
void lu_solve(benchmark::State& state) {
  int n = static_cast<int>(state.range(0));
  std::mt19937 rng(2);
  std::uniform_real_distribution<double> u(-1, 1);
  fmat2 a0(n, n);
  fmat1 b0(n);
  for (int i = 1; i <= n; ++i) {
    b0(i) = u(rng);
    for (int j = 1; j <= n; ++j) a0(i, j) = u(rng) + (i == j ? n : 0);
  }
  for (auto _ : state) {
    state.PauseTiming();
    fmat2 a = a0;
    fmat1 b = b0;
    state.ResumeTiming();
    benchmark::DoNotOptimize(solvelu(n, a, b));
  }
}
BENCHMARK(lu_solve)->Arg(250)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);

// Whole solutions.
void domica3_solve(benchmark::State& state, const char* example) {
  problem p = load(example, program::domica_3);
  for (auto _ : state) {
    state3 s = start3(p);
    observer silent;
    progress pr(silent);
    solve3(p, s, pr);
  }
}
BENCHMARK_CAPTURE(domica3_solve, pneumatic_dome, "pneumatic_dome/domica_3")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(domica3_solve, large_dome, "large_dome/domica_3")->Unit(benchmark::kMillisecond)->Iterations(1);

void domica2_pneumatic_dome(benchmark::State& state) {
  problem p = load("pneumatic_dome/domica_2", program::domica_2);
  for (auto _ : state) {
    state2 s = start2(p);
    observer silent;
    progress pr(silent);
    solution(p, s, pr);
  }
}
BENCHMARK(domica2_pneumatic_dome)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
