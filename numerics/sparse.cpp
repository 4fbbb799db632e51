#include "numerics/sparse.h"

#include <umfpack.h>
#include <unistd.h>

#ifdef __GLIBC__
#endif

#include <algorithm>
#include <string>

#include "model/failure.h"
#include "numerics/memory.h"

namespace domica {

static_assert(sizeof(long) == sizeof(SuiteSparse_long), "UMFPACK's long indices are long");

namespace {

// Control settings of every UMFPACK call; ordering is UMFPACK_ORDERING_*.
void settings(double* control, int ordering) {
  umfpack_di_defaults(control);
  control[UMFPACK_STRATEGY] = UMFPACK_STRATEGY_SYMMETRIC;
  control[UMFPACK_ORDERING] = ordering;
  control[UMFPACK_IRSTEP] = 0;
}

}  // namespace

sparse_tangent::sparse_tangent(int n, const std::vector<std::vector<int>>& columns, bool wide)
    : n_(n), m_(n, columns, false, "sparse tangent") {
  x_.assign(static_cast<std::size_t>(n), 0.0);
  if (wide) widen();
}

void sparse_tangent::widen() {
  wide_ = true;
  lp_.assign(m_.ap.begin(), m_.ap.end());
  li_.assign(m_.ai.begin(), m_.ai.end());
}

sparse_tangent::~sparse_tangent() { forget_analysis(); }

void sparse_tangent::forget_analysis() {
  if (symbolic_) {
    if (wide_) umfpack_dl_free_symbolic(&symbolic_);
    else umfpack_di_free_symbolic(&symbolic_);
  }
  symbolic_ = nullptr;
}

void sparse_tangent::zero() { m_.zero(); }

void sparse_tangent::add(int i, int j, double v) { m_.add(i, j, v); }

linear_status sparse_tangent::solve(fmat1& b) {
  if (n_ == 0) return {};
  double control[UMFPACK_CONTROL], info[UMFPACK_INFO];
  settings(control, UMFPACK_ORDERING_METIS);
  long* lp = lp_.data();
  long* li = li_.data();
  auto symbolic = [&] {
    return wide_ ? umfpack_dl_symbolic(n_, n_, lp, li, nullptr, &symbolic_, control, info)
                 : umfpack_di_symbolic(n_, n_, m_.ap.data(), m_.ai.data(), nullptr, &symbolic_, control, info);
  };
  if (!symbolic_) {
    // The pattern alone (no values): the first tangent, of the flat plan, has
    // zeros on the diagonal of every vertical coordinate, which would steer
    // the analysis away from the symmetric strategy for all later ones.
    int status = symbolic();
    if (status == UMFPACK_ERROR_ordering_failed) {
      settings(control, UMFPACK_ORDERING_AMD);
      status = symbolic();
    }
    if (status == UMFPACK_ERROR_out_of_memory) too_large(n_, info[UMFPACK_SYMBOLIC_PEAK_MEMORY] * info[UMFPACK_SIZE_OF_UNIT], "the sparse analysis", "more than can be allocated");
    if (status != UMFPACK_OK) {
      symbolic_ = nullptr;
      return {linear_status::singular, 0};
    }
    // The analysis's estimate of the factorisation's peak, checked before
    // one is tried: under ulimit -v the BLAS below it may otherwise wait for
    // memory for ever. OpenBLAS maps a buffer of 32 MB for each CPU and one
    // more (measured: a 7833-unknown net hangs at ulimit -v 200 MB, runs at
    // 250 MB, on two CPUs).
    estimate_ = info[UMFPACK_PEAK_MEMORY_ESTIMATE] * info[UMFPACK_SIZE_OF_UNIT];
    const long cpus = sysconf(_SC_NPROCESSORS_ONLN);
    const double blas = 32e6 * static_cast<double>((cpus > 0 ? cpus : 1) + 1);
    if (estimate_ > 0.0) check_memory(n_, estimate_, "the sparse factorisation", "UMFPACK's estimate", blas);
  }
  void* numeric = nullptr;
  int status = wide_ ? umfpack_dl_numeric(lp, li, m_.ax.data(), symbolic_, &numeric, control, info)
                     : umfpack_di_numeric(m_.ap.data(), m_.ai.data(), m_.ax.data(), symbolic_, &numeric, control, info);
  auto free_numeric = [&] {
    if (!numeric) return;
    if (wide_) umfpack_dl_free_numeric(&numeric);
    else umfpack_di_free_numeric(&numeric);
  };
  if (status == UMFPACK_ERROR_out_of_memory && !wide_) {
    // UMFPACK's int version gives up on the fine nets whose estimated factor
    // its indices cannot span (measured: 100,000 nodes, 296,481 unknowns,
    // an estimate of 1.2e9 units, on a machine with 24 GB free), where its
    // long version factors them (a peak of 3.2 GB for the whole run). That
    // one took 2.5 to 4 times as long for the same operations on a
    // 2,800-node net, so it is the fallback, kept from then on.
    free_numeric();
    forget_analysis();
    widen();
    return solve(b);
  }
  if (status == UMFPACK_ERROR_out_of_memory) {
    const double peak = info[UMFPACK_PEAK_MEMORY] > 0.0 ? info[UMFPACK_PEAK_MEMORY] * info[UMFPACK_SIZE_OF_UNIT] : estimate_;
    too_large(n_, peak, "the sparse factorisation", "more than can be allocated", info[UMFPACK_PEAK_MEMORY] > 0.0 ? "" : "UMFPACK's estimate");
  }
  if (status != UMFPACK_OK) {
    free_numeric();
    return {linear_status::singular, 0};
  }
  status = wide_ ? umfpack_dl_solve(UMFPACK_A, lp, li, m_.ax.data(), x_.data(), b.data(), numeric, control, info)
                 : umfpack_di_solve(UMFPACK_A, m_.ap.data(), m_.ai.data(), m_.ax.data(), x_.data(), b.data(), numeric, control, info);
  free_numeric();
  if (status != UMFPACK_OK) return {linear_status::singular, 0};
  for (int i = 1; i <= n_; ++i) b(i) = x_[static_cast<std::size_t>(i - 1)];
  return {};
}

}  // namespace domica
