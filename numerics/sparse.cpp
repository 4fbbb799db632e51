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

sparse_tangent::sparse_tangent(int n, const std::vector<std::vector<int>>& columns) : n_(n) {
  std::size_t nz = 0;
  for (const auto& c : columns) nz += c.size();
  // Column starts and row indices are 32-bit in the int interface of UMFPACK.
  if (nz > 2000000000u) too_large(n, 12.0 * static_cast<double>(nz), "the sparse tangent", "more than 2e9 entries");
  ap_.reserve(static_cast<std::size_t>(n) + 1);
  ai_.reserve(nz);
  ap_.push_back(0);
  for (int j = 1; j <= n; ++j) {
    for (int i : columns[static_cast<std::size_t>(j - 1)]) ai_.push_back(i - 1);
    ap_.push_back(static_cast<int>(ai_.size()));
  }
  ax_.assign(ai_.size(), 0.0);
  x_.assign(static_cast<std::size_t>(n), 0.0);
}

sparse_tangent::~sparse_tangent() {
  if (symbolic_) umfpack_di_free_symbolic(&symbolic_);
}

void sparse_tangent::zero() {
  std::fill(ax_.begin(), ax_.end(), 0.0);
  next_ = 0;
}

int sparse_tangent::position(int i, int j) const {
  auto first = ai_.begin() + ap_[static_cast<std::size_t>(j - 1)], last = ai_.begin() + ap_[static_cast<std::size_t>(j)];
  auto at = std::lower_bound(first, last, i - 1);
  if (at == last || *at != i - 1) throw failure(exit_internal, "sparse tangent: entry (" + std::to_string(i) + ", " + std::to_string(j) + ") outside its pattern");
  return static_cast<int>(at - ai_.begin());
}

void sparse_tangent::add(int i, int j, double v) {
  int k = next_ < at_.size() ? at_[next_] : -1;
  if (k < 0 || ai_[static_cast<std::size_t>(k)] != i - 1 || k < ap_[static_cast<std::size_t>(j - 1)] || k >= ap_[static_cast<std::size_t>(j)]) {
    k = position(i, j);
    at_.resize(next_);
    at_.push_back(k);
  }
  ++next_;
  double& a = ax_[static_cast<std::size_t>(k)];
  a = a + v;
}

linear_status sparse_tangent::solve(fmat1& b) {
  if (n_ == 0) return {};
  double control[UMFPACK_CONTROL], info[UMFPACK_INFO];
  settings(control, UMFPACK_ORDERING_METIS);
  if (!symbolic_) {
    // The pattern alone (no values): the first tangent, of the flat plan, has
    // zeros on the diagonal of every vertical coordinate, which would steer
    // the analysis away from the symmetric strategy for all later ones.
    int status = umfpack_di_symbolic(n_, n_, ap_.data(), ai_.data(), nullptr, &symbolic_, control, info);
    if (status == UMFPACK_ERROR_ordering_failed) {
      settings(control, UMFPACK_ORDERING_AMD);
      status = umfpack_di_symbolic(n_, n_, ap_.data(), ai_.data(), nullptr, &symbolic_, control, info);
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
  int status = umfpack_di_numeric(ap_.data(), ai_.data(), ax_.data(), symbolic_, &numeric, control, info);
  if (status == UMFPACK_ERROR_out_of_memory)
    too_large(n_, info[UMFPACK_PEAK_MEMORY] * info[UMFPACK_SIZE_OF_UNIT], "the sparse factorisation", "more than can be allocated");
  if (status != UMFPACK_OK) {
    if (numeric) umfpack_di_free_numeric(&numeric);
    return {linear_status::singular, 0};
  }
  status = umfpack_di_solve(UMFPACK_A, ap_.data(), ai_.data(), ax_.data(), x_.data(), b.data(), numeric, control, info);
  umfpack_di_free_numeric(&numeric);
  if (status != UMFPACK_OK) return {linear_status::singular, 0};
  for (int i = 1; i <= n_; ++i) b(i) = x_[static_cast<std::size_t>(i - 1)];
  return {};
}

}  // namespace domica
