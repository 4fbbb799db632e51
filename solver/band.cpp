#include "solver/band.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <utility>

#include "solver/memory.h"

namespace domica {

double band_tangent::bytes(int n, int kl) {
  return 8.0 * static_cast<double>(n) * static_cast<double>(3 * static_cast<long>(kl) + 1);
}

band_tangent::band_tangent(int n, int kl) : n_(n), kl_(kl), ku_(kl), kv_(2 * kl), ld_(3 * kl + 1) {
  check_memory(n, bytes(n, kl), "the band of the Newton tangent", "8 n (3 b + 1) bytes, b = " + std::to_string(kl));
  try {
    ab_.assign(static_cast<std::size_t>(n) * static_cast<std::size_t>(ld_), 0.0);
    piv_.assign(static_cast<std::size_t>(n) + 1, 0);
  } catch (const std::bad_alloc&) {
    too_large(n, bytes(n, kl), "the band of the Newton tangent", "more than can be allocated");
  }
}

void band_tangent::zero() { std::fill(ab_.begin(), ab_.end(), 0.0); }

namespace {

// t[r] -= l[r] * u for r = 0..m-1: one step of the elimination on one column.
// Every entry keeps its own operations, so the vector form is exact.
__attribute__((target_clones("avx512f", "avx2", "default"))) void update1(double* t, const double* l, double u, int m) {
  for (int r = 0; r < m; ++r) t[r] = t[r] - l[r] * u;
}

// Four steps at once on entries that take part in all four and in no
// interchange: each entry still receives them one after the other, in order.
__attribute__((target_clones("avx512f", "avx2", "default"))) void update4(double* t, const double* l0, const double* l1, const double* l2,
                                                               const double* l3, const double u[4], int m) {
  for (int r = 0; r < m; ++r) {
    double v = t[r] - l0[r] * u[0];
    v = v - l1[r] * u[1];
    v = v - l2[r] * u[2];
    t[r] = v - l3[r] * u[3];
  }
}

}  // namespace

// Left-looking by blocks of columns: the steps before a block are applied to
// all its columns (each column still receives them in the order of the
// steps), then the block is finished column by column. Steps are applied to a
// column four at a time where it can be done exactly: the few rows that the
// four interchanges touch are brought up to date one step after the other,
// the rest receive the four steps in one pass.
int band_tangent::solve(fmat1& b) {
  const int n = n_, kl = kl_, kv = kv_;
  const std::size_t ld = static_cast<std::size_t>(ld_);
  double* ab = ab_.data();
  auto column = [&](int j) { return ab + static_cast<std::size_t>(j - 1) * ld; };  // row i at index i - j + kv
  // Multiplier of step k for row r, k < r <= k + kl.
  auto mult = [&](int k, int r) { return column(k)[kv + r - k]; };
  // Step k on column j (t[i] is row i of column j): the interchange, then the
  // multipliers times U(k, j).
  auto step = [&](int k, double* t) {
    int p = piv_[static_cast<std::size_t>(k)];
    if (p != k) std::swap(t[k], t[p]);
    double u = t[k];
    if (u != 0.0) update1(t + k + 1, column(k) + kv + 1, u, std::min(kl, n - k));
  };
  // Steps k .. k+3 on column j, all rows of their windows inside the matrix.
  auto four_steps = [&](int k, double* t) {
    // The four pivot rows, then the other rows an interchange touches, each once.
    int special[8] = {k, k + 1, k + 2, k + 3};
    int ns = 4;
    for (int s = 0; s < 4; ++s) {
      int p = piv_[static_cast<std::size_t>(k + s)];
      bool listed = p <= k + 3;
      for (int q = 4; q < ns; ++q) listed = listed || special[q] == p;
      if (!listed) special[ns++] = p;
    }
    double u[4];
    for (int s = 0; s < 4; ++s) {
      int ks = k + s, p = piv_[static_cast<std::size_t>(ks)];
      if (p != ks) std::swap(t[ks], t[p]);
      u[s] = t[ks];
      if (u[s] == 0.0) continue;
      for (int q = 0; q < ns; ++q) {
        int r = special[q];
        if (r > ks && r <= ks + kl) t[r] = t[r] - mult(ks, r) * u[s];
      }
    }
    // Rows k+kl+1 .. k+kl+3 lie in the windows of the later steps only. The
    // interchanged rows below the pivot rows are final already: kept aside
    // from the passes below.
    double kept[8];
    for (int q = 4; q < ns; ++q) kept[q] = t[special[q]];
    for (int s = 1; s < 4; ++s)
      if (u[s] != 0.0)
        for (int r = k + kl + 1; r <= k + s + kl; ++r) t[r] = t[r] - mult(k + s, r) * u[s];
    // Rows k+4 .. k+kl: in all four windows.
    int m = kl - 3;
    double* tr = t + k + 4;
    if (u[0] != 0.0 && u[1] != 0.0 && u[2] != 0.0 && u[3] != 0.0) {
      update4(tr, &column(k)[kv + 4], &column(k + 1)[kv + 3], &column(k + 2)[kv + 2], &column(k + 3)[kv + 1], u, m);
    } else {
      for (int s = 0; s < 4; ++s)
        if (u[s] != 0.0) update1(tr, &column(k + s)[kv + 4 - s], u[s], m);
    }
    for (int q = 4; q < ns; ++q) t[special[q]] = kept[q];
  };
  // Step k on column j unless it can be left out: rows above `top` of the
  // column are still zero, so a step k < top whose interchange partner lies
  // above top too only exchanges two zeros and has a zero U(k, j). Once a
  // step has been applied, top is 0 and every later step is applied.
  auto needed = [&](int k, int& top) {
    if (k < top && piv_[static_cast<std::size_t>(k)] < top) return false;
    top = 0;
    return true;
  };
  // Steps k0 .. k1 on column j, in order.
  auto steps = [&](int k0, int k1, int j, int& top) {
    double* t = column(j) - j + kv;
    int k = k0;
    while (k <= k1 && !needed(k, top)) ++k;
    if (k > k1) return;
    for (; k + 3 <= k1 && k + 3 + kl <= n && kl >= 4; k += 4) four_steps(k, t);
    for (; k <= k1; ++k) step(k, t);
  };
  const int block = 64;
  int top[block];
  for (int j0 = 1; j0 <= n; j0 += block) {
    int j1 = std::min(n, j0 + block - 1);
    for (int j = j0; j <= j1; ++j) {
      // The first nonzero row of the column as assembled.
      const double* t = column(j) - j + kv;
      int r = std::max(1, j - kv), last = std::min(n, j + kl);
      while (r <= last && t[r] == 0.0) ++r;
      top[j - j0] = r;
    }
    // The steps before the block, each group of four on all the block's
    // columns in turn, so that their multipliers are read from memory once
    // for the block. A column takes no step above its stored rows.
    for (int k = std::max(1, j0 - kv); k < j0;) {
      int next = k + 3 < j0 && k + 3 + kl <= n && kl >= 4 ? k + 4 : k + 1;
      for (int j = j0; j <= j1; ++j) {
        int first = std::max(1, j - kv);
        int& tj = top[j - j0];
        double* t = column(j) - j + kv;
        if (next == k + 4 && tj == 0 && k >= first) {
          four_steps(k, t);
          continue;
        }
        for (int ks = std::max(k, first); ks < next; ++ks)
          if (needed(ks, tj)) step(ks, t);
      }
      k = next;
    }
    for (int j = j0; j <= j1; ++j) {
      steps(std::max(j0, j - kv), j - 1, j, top[j - j0]);
      // Pivot: the largest magnitude in rows j..j+kl, the earlier row on ties.
      double* d = column(j) + kv;
      int m = std::min(kl, n - j);
      int best = 0;
      double pivot = std::fabs(d[0]);
      for (int r = 1; r <= m; ++r)
        if (std::fabs(d[r]) > pivot) {
          best = r;
          pivot = std::fabs(d[r]);
        }
      piv_[static_cast<std::size_t>(j)] = j + best;
      if (best != 0) std::swap(d[0], d[best]);
      pivot = d[0];
      if (pivot == 0.0 || !std::isfinite(pivot)) return j;
      for (int r = 1; r <= m; ++r) d[r] = d[r] / pivot;
    }
  }
  // Forward substitution: the interchanges in their sequence, each step's
  // multipliers applied to the rows below it.
  for (int k = 1; k <= n; ++k) {
    int p = piv_[static_cast<std::size_t>(k)];
    if (p != k) std::swap(b(k), b(p));
    double bk = b(k);
    const double* l = column(k) + kv + 1;
    int m = std::min(kl, n - k);
    for (int r = 0; r < m; ++r) b(k + 1 + r) = b(k + 1 + r) - l[r] * bk;
  }
  // Back substitution along the rows of U, within its band.
  for (int i = n; i >= 1; --i) {
    double sum = b(i);
    int last = std::min(n, i + kv);
    for (int k = i + 1; k <= last; ++k) sum = sum - column(k)[i - k + kv] * b(k);
    b(i) = sum / column(i)[kv];
  }
  return 0;
}

}  // namespace domica
