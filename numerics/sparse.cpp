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

namespace {

// Control settings of every UMFPACK call; ordering is UMFPACK_ORDERING_*.
void settings(double* control, int ordering) {
  umfpack_di_defaults(control);
  control[UMFPACK_STRATEGY] = UMFPACK_STRATEGY_SYMMETRIC;
  control[UMFPACK_ORDERING] = ordering;
  control[UMFPACK_IRSTEP] = 0;
}

}  // namespace

sparse_tangent::sparse_tangent(int n, const std::vector<std::vector<int>>& columns)
    : n_(n), m_(n, columns, false, "sparse tangent") {
  x_.assign(static_cast<std::size_t>(n), 0.0);
}

sparse_tangent::~sparse_tangent() {
  if (symbolic_) umfpack_di_free_symbolic(&symbolic_);
}

void sparse_tangent::zero() { m_.zero(); }

void sparse_tangent::add(int i, int j, double v) { m_.add(i, j, v); }

linear_status sparse_tangent::solve(fmat1& b) {
  if (n_ == 0) return {};
  double control[UMFPACK_CONTROL], info[UMFPACK_INFO];
  settings(control, UMFPACK_ORDERING_METIS);
  if (!symbolic_) {
    // The pattern alone (no values): the first tangent, of the flat plan, has
    // zeros on the diagonal of every vertical coordinate, which would steer
    // the analysis away from the symmetric strategy for all later ones.
    int status = umfpack_di_symbolic(n_, n_, m_.ap.data(), m_.ai.data(), nullptr, &symbolic_, control, info);
    if (status == UMFPACK_ERROR_ordering_failed) {
      settings(control, UMFPACK_ORDERING_AMD);
      status = umfpack_di_symbolic(n_, n_, m_.ap.data(), m_.ai.data(), nullptr, &symbolic_, control, info);
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
    const double estimate = info[UMFPACK_PEAK_MEMORY_ESTIMATE] * info[UMFPACK_SIZE_OF_UNIT];
    const long cpus = sysconf(_SC_NPROCESSORS_ONLN);
    const double blas = 32e6 * static_cast<double>((cpus > 0 ? cpus : 1) + 1);
    if (estimate > 0.0) check_memory(n_, estimate, "the sparse factorisation", "UMFPACK's estimate", blas);
  }
  void* numeric = nullptr;
  int status = umfpack_di_numeric(m_.ap.data(), m_.ai.data(), m_.ax.data(), symbolic_, &numeric, control, info);
  if (status == UMFPACK_ERROR_out_of_memory)
    too_large(n_, info[UMFPACK_PEAK_MEMORY] * info[UMFPACK_SIZE_OF_UNIT], "the sparse factorisation", "more than can be allocated");
  if (status != UMFPACK_OK) {
    if (numeric) umfpack_di_free_numeric(&numeric);
    return {linear_status::singular, 0};
  }
  status = umfpack_di_solve(UMFPACK_A, m_.ap.data(), m_.ai.data(), m_.ax.data(), x_.data(), b.data(), numeric, control, info);
  umfpack_di_free_numeric(&numeric);
  if (status != UMFPACK_OK) return {linear_status::singular, 0};
  for (int i = 1; i <= n_; ++i) b(i) = x_[static_cast<std::size_t>(i - 1)];
  return {};
}

}  // namespace domica
