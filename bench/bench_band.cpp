// Timings of the band factorisation of domica_2's tangent against LAPACK's
// band routines (dgbtrf, then dgbtrs) on the same matrix, and against the
// dense Crout at equal n. One thread: whatever BLAS the system's liblapack.so.3
// brings must be a serial one (Debian's reference libblas3, or OpenBLAS's
// serial build given by LD_LIBRARY_PATH).
//   build/bench/domica_bench --benchmark_filter=tangent
//
// The matrices are real tangents of Hencky's clamped disc (radius 1, young
// 10000, poisson 0.3, thickness 0.1, pressure -1; makenet disc), assembled by
// domica_2's element code at a paraboloid near the converged form (centre
// deflection 0.0654), on the ring-by-ring numbering and on reverse
// Cuthill-McKee. Arguments: the rings of the disc (8: 217 nodes, 12: 469,
// 20: 1261, 26: 2107), then 0 for ring-by-ring or 1 for reverse Cuthill-McKee.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench/disc.h"
#include "model/number.h"
#include "domica_2/driver.h"
#include "mechanics/structure.h"
#include "numerics/band.h"
#include "numerics/dense.h"

using namespace domica;

extern "C" {
void dgbtrf_(const int* m, const int* n, const int* kl, const int* ku, double* ab, const int* ldab, int* ipiv, int* info);
void dgbtrs_(const char* trans, const int* n, const int* kl, const int* ku, const int* nrhs, const double* ab, const int* ldab,
             const int* ipiv, double* b, const int* ldb, int* info, std::size_t trans_len);
}

namespace {

// The tangent in LAPACK's band storage with ku = kl and room for the fill:
// column j holds rows j - 2 kl .. j + kl, leading dimension 3 kl + 1.
struct lapack_band {
  int n, kl, ld;
  std::vector<double> ab;
  lapack_band(int n_, int kl_) : n(n_), kl(kl_), ld(3 * kl_ + 1), ab(static_cast<std::size_t>(n_) * (3 * kl_ + 1), 0.0) {}
  void zero() { std::fill(ab.begin(), ab.end(), 0.0); }
  void add(int i, int j, double v) {
    double& a = ab[static_cast<std::size_t>(j - 1) * ld + static_cast<std::size_t>(2 * kl + i - j)];
    a = a + v;
  }
};

// One disc's tangent in the three storages (the dense one only where it is
// small enough) and its out-of-balance forces as right-hand side.
struct disc_tangent {
  int n = 0, kl = 0;
  std::unique_ptr<band_tangent> band;
  std::unique_ptr<lapack_band> lapack;
  std::unique_ptr<dense_tangent> dense;
  fmat1 r;
};

const disc_tangent& tangent_of(int rings, bool rcm) {
  static std::map<std::pair<int, bool>, disc_tangent> made;
  auto found = made.find({rings, rcm});
  if (found != made.end()) return found->second;
  problem p = hencky_disc(rings, program::domica_2, rcm);
  state2 s = start2(p);
  disc_tangent& t = made[{rings, rcm}];
  t.n = s.as.d.n;
  t.kl = bandwidth(p.nt, s.as.d);
  fmat1 force(t.n), x(t.n);
  t.r = fmat1(t.n);
  for (int glob = 1; glob <= p.nt.nn; ++glob)
    for (int axis = 1; axis <= 3; ++axis) {
      int k = s.as.d.index(glob, axis);
      if (k > t.n) continue;
      force(k) = s.loads(glob, axis);
      double rr = p.nt.xo(glob) * p.nt.xo(glob) + p.nt.yo(glob) * p.nt.yo(glob);
      x(k) = axis == 3 ? 0.0654 * (1.0 - rr) : 0.0;
    }
  t.band = std::make_unique<band_tangent>(t.n, t.kl);
  t.lapack = std::make_unique<lapack_band>(t.n, t.kl);
  structure(p.nt, s.as, p.load.pressure, force, x, t.r, *t.band);
  structure(p.nt, s.as, p.load.pressure, force, x, t.r, *t.lapack);
  if (t.n <= 1500) {
    t.dense = std::make_unique<dense_tangent>(t.n);
    structure(p.nt, s.as, p.load.pressure, force, x, t.r, *t.dense);
  }
  return t;
}

void label(benchmark::State& state, const disc_tangent& t) {
  state.counters["n"] = t.n;
  state.counters["kl"] = t.kl;
}

// A copy of the stored tangent factored and solved, the copy not timed.
template <class Tangent>
void time_solve(benchmark::State& state, const disc_tangent& t, const Tangent& stored) {
  for (auto _ : state) {
    state.PauseTiming();
    Tangent a = stored;
    fmat1 b = t.r;
    state.ResumeTiming();
    if (!a.solve(b).ok()) state.SkipWithError("zero pivot");
    benchmark::DoNotOptimize(b);
  }
  label(state, t);
}

// domica_2's band solver: factorisation and solution in one call.
void band_tangent_solve(benchmark::State& state) {
  const disc_tangent& t = tangent_of(static_cast<int>(state.range(0)), state.range(1) != 0);
  time_solve(state, t, *t.band);
}

// LAPACK: dgbtrf, then dgbtrs for the one right-hand side.
void lapack_tangent_solve(benchmark::State& state) {
  const disc_tangent& t = tangent_of(static_cast<int>(state.range(0)), state.range(1) != 0);
  std::vector<int> ipiv(static_cast<std::size_t>(t.n));
  const int one = 1;
  for (auto _ : state) {
    state.PauseTiming();
    lapack_band a = *t.lapack;
    fmat1 b = t.r;
    state.ResumeTiming();
    int info = 0;
    dgbtrf_(&t.n, &t.n, &t.kl, &t.kl, a.ab.data(), &a.ld, ipiv.data(), &info);
    if (info == 0) dgbtrs_("N", &t.n, &t.kl, &t.kl, &one, a.ab.data(), &a.ld, ipiv.data(), &b(1), &t.n, &info, 1);
    if (info != 0) state.SkipWithError("dgbtrf or dgbtrs failed");
    benchmark::DoNotOptimize(b);
  }
  label(state, t);
}

// The dense Crout on the whole matrix.
void dense_tangent_solve(benchmark::State& state) {
  const disc_tangent& t = tangent_of(static_cast<int>(state.range(0)), state.range(1) != 0);
  time_solve(state, t, *t.dense);
}

// Both numberings of every disc; the dense solver (whose time does not
// depend on the numbering) on the small discs only.
void all_discs(benchmark::internal::Benchmark* b) {
  b->ArgNames({"rings", "rcm"})->Unit(benchmark::kMillisecond);
  for (int rings : {8, 12, 20, 26})
    for (int rcm : {0, 1}) b->Args({rings, rcm});
}
void small_discs(benchmark::internal::Benchmark* b) { b->ArgNames({"rings", "rcm"})->Args({8, 0})->Args({12, 0})->Unit(benchmark::kMillisecond); }

BENCHMARK(band_tangent_solve)->Apply(all_discs);
BENCHMARK(lapack_tangent_solve)->Apply(all_discs);
BENCHMARK(dense_tangent_solve)->Apply(small_discs);

}  // namespace
