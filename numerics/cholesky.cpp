#include "numerics/cholesky.h"

#include <cholmod.h>
#include <omp.h>

#include <algorithm>
#include <string>

#include "model/failure.h"
#include "numerics/memory.h"

namespace domica {

namespace {

cholmod_common* common_of(void* p) { return static_cast<cholmod_common*>(p); }

// A CHOLMOD view of the lower triangle held in ap, ai, ax (no copy).
cholmod_sparse view(int n, std::vector<int>& ap, std::vector<int>& ai, std::vector<double>& ax) {
  cholmod_sparse a{};
  a.nrow = a.ncol = static_cast<std::size_t>(n);
  a.nzmax = ai.size();
  a.p = ap.data();
  a.i = ai.data();
  a.x = ax.data();
  a.stype = -1;  // symmetric, the lower triangle stored
  a.itype = CHOLMOD_INT;
  a.xtype = CHOLMOD_REAL;
  a.dtype = CHOLMOD_DOUBLE;
  a.sorted = 1;
  a.packed = 1;
  return a;
}

// CHOLMOD opens a team of four OpenMP threads (a number compiled into it)
// around short loops of every factorisation: on this 2-core machine they
// made a factorisation 1.7 times slower than one thread alone, far slower
// on one core or beside another run, with the same factor. While one of
// these lives, parallel regions of the calling thread are inactive, so the
// loops run on it; the caller's setting is put back after (since OpenMP 5.1
// it belongs to the calling thread alone: other threads are not touched).
class on_this_thread {
 public:
  on_this_thread() : before_(omp_get_max_active_levels()) { omp_set_max_active_levels(0); }
  ~on_this_thread() { omp_set_max_active_levels(before_); }
  on_this_thread(const on_this_thread&) = delete;
  on_this_thread& operator=(const on_this_thread&) = delete;

 private:
  int before_;
};

}  // namespace

sparse_cholesky::sparse_cholesky(int n, const std::vector<std::vector<int>>& columns)
    : n_(n), m_(n, columns, true, "sparse Hessian") {
  if (n == 0) return;
  auto* c = new cholmod_common;
  common_ = c;
  cholmod_start(c);
  c->print = 0;                  // nothing on the console from here
  c->error_handler = nullptr;
  c->quick_return_if_not_posdef = 1;
  // Supernodal on every net, small ones too: that factor is L L' and stops
  // at the first pivot that is not positive, where CHOLMOD's simplicial one
  // is L D L' and factors an indefinite matrix without a word (a negative D),
  // which would hand the conjugate gradients an indefinite preconditioner.
  c->supernodal = CHOLMOD_SUPERNODAL;
  cholmod_sparse a = view(n_, m_.ap, m_.ai, m_.ax);
  // The analysis reads the pattern only.
  cholmod_factor* l = cholmod_analyze(&a, c);
  if (!l) {
    if (c->status == CHOLMOD_OUT_OF_MEMORY) too_large(n, 12.0 * static_cast<double>(m_.ai.size()), "the analysis of the sparse Hessian", "more than can be allocated");
    throw failure(exit_internal, "the analysis of the sparse Hessian failed (CHOLMOD status " + std::to_string(c->status) + ")");
  }
  factor_ = l;
  lnz_ = c->lnz;
  flops_ = c->fl;
  // The factor's values and row indices, then the BLAS's buffers beside (as
  // for the sparse tangent, numerics/sparse.cpp).
  check_memory(n, 12.0 * lnz_, "the sparse Cholesky factor", "CHOLMOD's count of its entries", 64e6);
}

sparse_cholesky::~sparse_cholesky() {
  if (auto* c = common_of(common_)) {
    if (factor_) {
      auto* l = static_cast<cholmod_factor*>(factor_);
      cholmod_free_factor(&l, c);
    }
    for (void* d : {x_, y_, e_})
      if (d) {
        auto* m = static_cast<cholmod_dense*>(d);
        cholmod_free_dense(&m, c);
      }
    cholmod_finish(c);
    delete c;
  }
}

void sparse_cholesky::zero() { m_.zero(); }

void sparse_cholesky::add(int i, int j, double v) {
  if (i >= j) m_.add(i, j, v);
}

double sparse_cholesky::largest_diagonal() const {
  double m = 0.0;
  for (int j = 0; j < n_; ++j) m = std::max(m, m_.ax[static_cast<std::size_t>(m_.ap[static_cast<std::size_t>(j)])]);
  return m;
}

double sparse_cholesky::smallest_diagonal() const {
  if (n_ == 0) return 0.0;
  double m = m_.ax[0];
  for (int j = 0; j < n_; ++j) m = std::min(m, m_.ax[static_cast<std::size_t>(m_.ap[static_cast<std::size_t>(j)])]);
  return m;
}

void sparse_cholesky::multiply(const fmat1& v, fmat1& y) const {
  for (int i = 1; i <= n_; ++i) y(i) = 0.0;
  for (int j = 0; j < n_; ++j) {
    const double vj = v(j + 1);
    double sum = 0.0;
    for (int k = m_.ap[static_cast<std::size_t>(j)]; k < m_.ap[static_cast<std::size_t>(j) + 1]; ++k) {
      const int i = m_.ai[static_cast<std::size_t>(k)];
      const double a = m_.ax[static_cast<std::size_t>(k)];
      if (i == j) {
        sum = sum + a * vj;
      } else {
        y(i + 1) = y(i + 1) + a * vj;
        sum = sum + a * v(i + 1);
      }
    }
    y(j + 1) = y(j + 1) + sum;
  }
}

bool sparse_cholesky::factor(double shift) {
  if (n_ == 0) return true;
  auto* c = common_of(common_);
  cholmod_sparse a = view(n_, m_.ap, m_.ai, m_.ax);
  double beta[2] = {shift, 0.0};
  on_this_thread serial;
  int ok = cholmod_factorize_p(&a, beta, nullptr, 0, static_cast<cholmod_factor*>(factor_), c);
  if (c->status == CHOLMOD_NOT_POSDEF) return false;
  if (c->status == CHOLMOD_OUT_OF_MEMORY) too_large(n_, 12.0 * lnz_, "the sparse Cholesky factor", "more than can be allocated");
  if (!ok || c->status != CHOLMOD_OK) throw failure(exit_internal, "the sparse Cholesky factorisation failed (CHOLMOD status " + std::to_string(c->status) + ")");
  return true;
}

void sparse_cholesky::solve(fmat1& b) {
  if (n_ == 0) return;
  auto* c = common_of(common_);
  cholmod_dense rhs{};
  rhs.nrow = rhs.d = static_cast<std::size_t>(n_);
  rhs.ncol = 1;
  rhs.nzmax = static_cast<std::size_t>(n_);
  rhs.x = b.data();
  rhs.xtype = CHOLMOD_REAL;
  rhs.dtype = CHOLMOD_DOUBLE;
  auto* x = static_cast<cholmod_dense*>(x_);
  auto* y = static_cast<cholmod_dense*>(y_);
  auto* e = static_cast<cholmod_dense*>(e_);
  int ok = cholmod_solve2(CHOLMOD_A, static_cast<cholmod_factor*>(factor_), &rhs, nullptr, &x, nullptr, &y, &e, c);
  x_ = x;
  y_ = y;
  e_ = e;
  if (!ok || !x) throw failure(c->status == CHOLMOD_OUT_OF_MEMORY ? exit_input : exit_internal, "the sparse Cholesky solve failed (CHOLMOD status " + std::to_string(c->status) + ")");
  const double* v = static_cast<const double*>(x->x);
  for (int i = 1; i <= n_; ++i) b(i) = v[i - 1];
}

}  // namespace domica
