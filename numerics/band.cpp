#include "numerics/band.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <utility>

#include "numerics/memory.h"

namespace domica {

double band_tangent::bytes(int n, int kl) {
  return 8.0 * static_cast<double>(n) * static_cast<double>(3 * static_cast<long>(kl) + 1);
}

band_tangent::band_tangent(int n, int kl) : n_(n), kl_(kl), ku_(kl), kv_(2 * kl), ld_(3 * kl + 1) {
  check_memory(n, bytes(n, kl), "the band of the Newton tangent", "8 n (3 b + 1) bytes, b = " + std::to_string(kl));
  try {
    ab_.assign(static_cast<std::size_t>(n) * static_cast<std::size_t>(ld_), 0.0);
    piv_.assign(static_cast<std::size_t>(n) + 1, 0);
    top_.assign(static_cast<std::size_t>(n) + 1, n + 1);
    last_.assign(static_cast<std::size_t>(n) + 1, 0);
    dirty_.assign(static_cast<std::size_t>(n) + 1, n + 1);
    reached_.assign(static_cast<std::size_t>(n) + 1, 0);
  } catch (const std::bad_alloc&) {
    too_large(n, bytes(n, kl), "the band of the Newton tangent", "more than can be allocated");
  }
}

// Only the rows given a value or changed by the factorisation can be
// nonzero: rows min(top, dirty) .. j + kl of column j.
void band_tangent::zero() {
  const std::size_t ld = static_cast<std::size_t>(ld_);
  for (int j = 1; j <= n_; ++j) {
    int first = std::min(top_[static_cast<std::size_t>(j)], dirty_[static_cast<std::size_t>(j)]);
    int last = std::min(n_, j + kl_);
    if (first > last) continue;
    double* c = ab_.data() + static_cast<std::size_t>(j - 1) * ld;
    std::fill(c + (first - j + kv_), c + (last - j + kv_) + 1, 0.0);
  }
  std::fill(top_.begin(), top_.end(), n_ + 1);
  std::fill(dirty_.begin(), dirty_.end(), n_ + 1);
}

namespace {

// The vector routines below, built for AVX-512, AVX2 and the default set and
// chosen at load time by what the processor runs.
#ifdef DOMICA_NO_CLONES
#define DOMICA_CLONES
#else
#define DOMICA_CLONES __attribute__((target_clones("avx512f", "avx2", "default")))
#endif

// t[r] -= l[r] * u for r = 0..m-1: one step of the elimination on one column.
// Every entry keeps its own operations, so the vector form is exact.
DOMICA_CLONES void update1(double* t, const double* l, double u, int m) {
  for (int r = 0; r < m; ++r) t[r] = t[r] - l[r] * u;
}

// Four steps at once on entries that take part in all four and in no
// interchange: each entry still receives them one after the other, in order.
DOMICA_CLONES void update4(double* t, const double* l0, const double* l1, const double* l2,
                           const double* l3, const double u[4], int m) {
  for (int r = 0; r < m; ++r) {
    double v = t[r] - l0[r] * u[0];
    v = v - l1[r] * u[1];
    v = v - l2[r] * u[2];
    t[r] = v - l3[r] * u[3];
  }
}

// d[r] / pivot for r = 0..m-1: the divisions one by one, in vector form.
DOMICA_CLONES void divide(double* d, double pivot, int m) {
  for (int r = 0; r < m; ++r) d[r] = d[r] / pivot;
}

// The last r in lo..hi with t[r] != 0, lo - 1 if none.
DOMICA_CLONES int last_nonzero(const double* t, int lo, int hi) {
  int r = hi;
  for (; r - 7 >= lo; r -= 8) {
    bool any = false;
    for (int q = 0; q < 8; ++q) any = any | (t[r - q] != 0.0);
    if (any) break;
  }
  while (r >= lo && t[r] == 0.0) --r;
  return r;
}

// The r in 0..m of the largest |d[r]|, the earliest on ties; a NaN never
// wins over a number, and a NaN d[0] keeps 0. The largest magnitude is found
// in eight running maxima, which is exact in any order, then its first place.
DOMICA_CLONES int largest(const double* d, int m) {
  double big = std::fabs(d[0]);
  if (std::isnan(big)) return 0;
  double lane[8];
  for (int q = 0; q < 8; ++q) lane[q] = big;
  int r = 1;
  for (; r + 7 <= m; r += 8)
    for (int q = 0; q < 8; ++q) {
      double a = std::fabs(d[r + q]);
      lane[q] = a > lane[q] ? a : lane[q];
    }
  for (; r <= m; ++r) {
    double a = std::fabs(d[r]);
    lane[0] = a > lane[0] ? a : lane[0];
  }
  for (int q = 1; q < 8; ++q) big = lane[q] > big ? lane[q] : big;
  big = lane[0] > big ? lane[0] : big;
  r = 0;
  while (std::fabs(d[r]) != big) ++r;
  return r;
}

// The four steps of update4 on two columns ta and tb (multipliers ua, ub),
// so that the multipliers are read once for both.
DOMICA_CLONES void update4x2(double* __restrict ta, double* __restrict tb,
                             const double* l0, const double* l1, const double* l2,
                             const double* l3, const double ua[4], const double ub[4],
                             int m) {
  const double a0 = ua[0], a1 = ua[1], a2 = ua[2], a3 = ua[3];
  const double b0 = ub[0], b1 = ub[1], b2 = ub[2], b3 = ub[3];
  for (int r = 0; r < m; ++r) {
    double a = ta[r] - l0[r] * a0;
    double b = tb[r] - l0[r] * b0;
    a = a - l1[r] * a1;
    b = b - l1[r] * b1;
    a = a - l2[r] * a2;
    b = b - l2[r] * b2;
    ta[r] = a - l3[r] * a3;
    tb[r] = b - l3[r] * b3;
  }
}

}  // namespace

// Left-looking by blocks of 64 columns: the steps before a block are applied
// to all its columns, each group of four steps to every column in turn, so
// that the group's multipliers come from memory once a block while the
// block's columns stay in the cache (each column still receives the steps in
// their order); then the block is finished column by column. Steps are
// applied to a column four at a time where it can be done exactly: the few
// rows that the four interchanges touch are brought up to date one step after
// the other, the rest receive the four steps in one pass. A step reaches only
// as far down as its last nonzero multiplier, which on a ring-by-ring
// numbering is often far above the band's edge.
linear_status band_tangent::solve(fmat1& b) {
  const int n = n_, kl = kl_, kv = kv_;
  const std::size_t ld = static_cast<std::size_t>(ld_);
  double* ab = ab_.data();
  auto column = [&](int j) { return ab + static_cast<std::size_t>(j - 1) * ld; };  // row i at index i - j + kv
  // Multiplier of step k for row r, k < r <= last_[k].
  auto mult = [&](int k, int r) { return column(k)[kv + r - k]; };
  auto last = [&](int k) { return last_[static_cast<std::size_t>(k)]; };
  // Step k on column j (t[i] is row i of column j): the interchange, then the
  // multipliers times U(k, j).
  auto step = [&](int k, double* t) {
    int p = piv_[static_cast<std::size_t>(k)];
    if (p != k) std::swap(t[k], t[p]);
    double u = t[k];
    if (u != 0.0) update1(t + k + 1, column(k) + kv + 1, u, last(k) - k);
  };
  // Steps k .. k+3, the same on every column: the four pivot rows, then the
  // other rows an interchange touches, each once; the last row of each step;
  // the rows k+4 .. k+3+m that receive all four in one pass.
  struct group {
    int k, ns, m;
    int special[8], e[4];
  };
  auto plan = [&](int k, group& g) {
    g.k = k;
    g.ns = 4;
    for (int s = 0; s < 4; ++s) g.special[s] = k + s;
    for (int s = 0; s < 4; ++s) {
      int p = piv_[static_cast<std::size_t>(k + s)];
      bool listed = p <= k + 3;
      for (int q = 4; q < g.ns; ++q) listed = listed || g.special[q] == p;
      if (!listed) g.special[g.ns++] = p;
      g.e[s] = last(k + s);
    }
    // Rows k+4 .. k+kl lie in all four windows as stored; those below the last
    // multiplier of all four are left alone.
    g.m = std::min(k + kl, std::max(std::max(g.e[0], g.e[1]), std::max(g.e[2], g.e[3]))) - (k + 3);
  };
  // The rows of a group's steps on column j that an interchange touches, one
  // step after the other, and the rows k+kl+1 .. k+kl+3 that lie in the
  // windows of the later steps only; u receives U(k .. k+3, j). The
  // interchanged rows below the pivot rows are final then: kept aside from
  // the pass over the other rows.
  auto head = [&](const group& g, double* t, double u[4], double kept[8]) {
    const int k = g.k;
    for (int s = 0; s < 4; ++s) {
      int ks = k + s, p = piv_[static_cast<std::size_t>(ks)];
      if (p != ks) std::swap(t[ks], t[p]);
      u[s] = t[ks];
      if (u[s] == 0.0) continue;
      for (int q = 0; q < g.ns; ++q) {
        int r = g.special[q];
        if (r > ks && r <= g.e[s]) t[r] = t[r] - mult(ks, r) * u[s];
      }
    }
    for (int q = 4; q < g.ns; ++q) kept[q] = t[g.special[q]];
    for (int s = 1; s < 4; ++s)
      if (u[s] != 0.0)
        for (int r = k + kl + 1; r <= g.e[s]; ++r) t[r] = t[r] - mult(k + s, r) * u[s];
  };
  auto restore = [&](const group& g, double* t, const double kept[8]) {
    for (int q = 4; q < g.ns; ++q) t[g.special[q]] = kept[q];
  };
  auto lcol = [&](const group& g, int s) { return &column(g.k + s)[kv + 4 - s]; };
  auto all = [](const double u[4]) { return u[0] != 0.0 && u[1] != 0.0 && u[2] != 0.0 && u[3] != 0.0; };
  // The rows k+4 .. k+3+m of one column.
  auto bulk = [&](const group& g, double* t, const double u[4]) {
    if (g.m <= 0) return;
    double* tr = t + g.k + 4;
    if (all(u)) {
      update4(tr, lcol(g, 0), lcol(g, 1), lcol(g, 2), lcol(g, 3), u, g.m);
    } else {
      for (int s = 0; s < 4; ++s)
        if (u[s] != 0.0) update1(tr, lcol(g, s), u[s], g.m);
    }
  };
  // A group's steps on one column, and on two columns at once.
  auto four_steps = [&](const group& g, double* t) {
    double u[4], kept[8];
    head(g, t, u, kept);
    bulk(g, t, u);
    restore(g, t, kept);
  };
  auto four_steps2 = [&](const group& g, double* ta, double* tb) {
    double ua[4], ub[4], kepta[8], keptb[8];
    head(g, ta, ua, kepta);
    head(g, tb, ub, keptb);
    if (g.m > 0 && all(ua) && all(ub)) {
      update4x2(ta + g.k + 4, tb + g.k + 4, lcol(g, 0), lcol(g, 1), lcol(g, 2), lcol(g, 3), ua, ub, g.m);
    } else {
      bulk(g, ta, ua);
      bulk(g, tb, ub);
    }
    restore(g, ta, kepta);
    restore(g, tb, keptb);
  };
  // Step k on column j unless it can be left out: rows above `top` of the
  // column are still zero, so a step k < top whose interchange partner lies
  // above top too only exchanges two zeros and has a zero U(k, j). Once a
  // step has been applied, top is 0 and every later step is applied.
  // Rows above the first step applied stay as they were: from is the first
  // row of the column that can be nonzero once its steps are done.
  auto needed = [&](int k, int& top, int& from) {
    if (k < top && piv_[static_cast<std::size_t>(k)] < top) return false;
    if (top != 0) from = std::min(top, k);
    top = 0;
    return true;
  };
  // Steps k0 .. k1 on column j, in order.
  auto steps = [&](int k0, int k1, int j, int& top, int& from) {
    double* t = column(j) - j + kv;
    int k = k0;
    while (k <= k1 && !needed(k, top, from)) ++k;
    if (k > k1) return;
    for (; k + 3 <= k1 && kl >= 4; k += 4) {
      group g;
      plan(k, g);
      four_steps(g, t);
    }
    for (; k <= k1; ++k) step(k, t);
  };
  std::vector<int> reach(static_cast<std::size_t>(n) + 1, 0);
  const int block = 64;
  int top[block], from[block];
  for (int j0 = 1; j0 <= n; j0 += block) {
    int j1 = std::min(n, j0 + block - 1);
    for (int j = j0; j <= j1; ++j) {
      // The first row of the column given a value in the assembly: those
      // above are zero.
      top[j - j0] = from[j - j0] = top_[static_cast<std::size_t>(j)];
    }
    // The steps before the block, each group of four on all the block's
    // columns in turn, so that their multipliers are read from memory once
    // for the block. A column takes no step above its stored rows.
    for (int k = std::max(1, j0 - kv); k < j0;) {
      int next = k + 3 < j0 && kl >= 4 ? k + 4 : k + 1;
      group g;
      if (next == k + 4) plan(k, g);
      // A column whose first row lies below every row these steps
      // interchange takes none of them.
      const int reached = reached_[static_cast<std::size_t>(next - 1)];
      double* waiting = nullptr;  // a column that takes the four steps, for a pair
      for (int j = j0; j <= j1; ++j) {
        int& tj = top[j - j0];
        if (tj > reached) continue;
        int first = std::max(1, j - kv);
        double* t = column(j) - j + kv;
        if (next == k + 4 && tj == 0 && k >= first) {
          if (waiting == nullptr) {
            waiting = t;
          } else {
            four_steps2(g, waiting, t);
            waiting = nullptr;
          }
          continue;
        }
        for (int ks = std::max(k, first); ks < next; ++ks)
          if (needed(ks, tj, from[j - j0])) step(ks, t);
      }
      if (waiting != nullptr) four_steps(g, waiting);
      k = next;
    }
    for (int j = j0; j <= j1; ++j) {
      steps(std::max(j0, j - kv), j - 1, j, top[j - j0], from[j - j0]);
      // Pivot: the largest magnitude in rows j..j+kl, the earlier row on ties;
      // the zeros below the last nonzero row cannot be it.
      double* d = column(j) + kv;
      int m = last_nonzero(d, 1, std::min(kl, n - j));
      int best = largest(d, m);
      piv_[static_cast<std::size_t>(j)] = j + best;
      reached_[static_cast<std::size_t>(j)] = std::max(reached_[static_cast<std::size_t>(j) - 1], j + best);
      if (best != 0) std::swap(d[0], d[best]);
      double pivot = d[0];
      if (pivot == 0.0 || !std::isfinite(pivot)) {
        for (int jj = j0; jj <= j1; ++jj) dirty_[static_cast<std::size_t>(jj)] = std::min(from[jj - j0], jj);
        return {linear_status::zero_pivot, j};
      }
      // The multipliers below the last nonzero one stay zero and take no part
      // in the later steps.
      if (m == best) m = last_nonzero(d, 1, m);
      last_[static_cast<std::size_t>(j)] = j + m;
      divide(d + 1, pivot, m);
      // Rows of U above `from` are zero.
      int f = std::min(from[j - j0], j);
      reach[static_cast<std::size_t>(f)] = std::max(reach[static_cast<std::size_t>(f)], j);
    }
    for (int j = j0; j <= j1; ++j) dirty_[static_cast<std::size_t>(j)] = std::min(from[j - j0], j);
  }
  // Forward substitution: the interchanges in their sequence, each step's
  // multipliers applied to the rows below it.
  for (int k = 1; k <= n; ++k) {
    int p = piv_[static_cast<std::size_t>(k)];
    if (p != k) std::swap(b(k), b(p));
    double bk = b(k);
    if (last(k) > k) update1(&b(k + 1), column(k) + kv + 1, bk, last(k) - k);
  }
  // Back substitution along the rows of U, each as far as its last column
  // that can hold a nonzero: reach[i], the last column whose first nonzero
  // row is i or above.
  for (int i = 2; i <= n; ++i) reach[static_cast<std::size_t>(i)] = std::max(reach[static_cast<std::size_t>(i)], reach[static_cast<std::size_t>(i - 1)]);
  for (int i = n; i >= 1; --i) {
    double sum = b(i);
    int last = reach[static_cast<std::size_t>(i)];
    for (int k = i + 1; k <= last; ++k) sum = sum - column(k)[i - k + kv] * b(k);
    b(i) = sum / column(i)[kv];
  }
  return {};
}

}  // namespace domica
