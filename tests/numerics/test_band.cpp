// The band solver against the dense one: the same solution to the last bit,
// on random band matrices, full or ragged within the band, that force many
// row interchanges, and on real tangents of a net, each after an earlier
// factorisation; and the fall-back to dense
// where the band is full.
#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "domica_2/driver.h"
#include "mechanics/structure.h"
#include "numerics/band.h"
#include "numerics/dense.h"
#include "tests/testutil.h"

using namespace domica;

namespace {

// Both solvers on the same entries; every solution component equal. The
// band solver has factored a full band of other numbers before, as in a
// Newton iteration, so what zero() leaves behind is tested too.
template <class Fill>
void expect_same(int n, int kl, Fill fill, const fmat1& b) {
  band_tangent band(n, kl);
  dense_tangent dense(n);
  band.zero();
  std::mt19937 rng(static_cast<unsigned>(n + kl));
  std::uniform_real_distribution<double> u(-1, 1);
  for (int i = 1; i <= n; ++i)
    for (int j = std::max(1, i - kl); j <= std::min(n, i + kl); ++j) band.add(i, j, u(rng));
  fmat1 before = b;
  band.solve(before);
  band.zero();
  dense.zero();
  fill(band);
  fill(dense);
  fmat1 xb = b, xd = b;
  linear_status cb = band.solve(xb), cd = dense.solve(xd);
  ASSERT_EQ(cb.code, cd.code);
  ASSERT_EQ(cb.column, cd.column);
  if (!cb.ok()) return;
  for (int i = 1; i <= n; ++i) ASSERT_EQ(xb(i), xd(i)) << "row " << i << " of " << n << ", band " << kl;
}

}  // namespace

TEST(BandSolver, RandomBandsWithInterchangesGiveTheDenseSolution) {
  std::mt19937 rng(17);
  std::uniform_real_distribution<double> u(-1, 1);
  std::uniform_real_distribution<double> fraction(0, 1);
  for (auto [n, kl, ragged] : {std::tuple{1, 0, false}, {5, 1, false}, {40, 3, false}, {200, 7, false}, {300, 24, false},
                               {61, 60, false}, {200, 7, true}, {300, 24, true}, {400, 60, true}}) {
    // Ragged: each column zero above and below rows of its own, as a net's
    // numbering leaves it, so that interchanges bring rows into the zero
    // parts; those zeros are never added, as the assembly leaves them.
    std::vector<int> first(static_cast<std::size_t>(n) + 1), last(first);
    for (int j = 1; j <= n; ++j) {
      first[j] = ragged ? j - static_cast<int>(fraction(rng) * kl) : j - kl;
      last[j] = ragged ? j + static_cast<int>(fraction(rng) * kl) : j + kl;
    }
    std::vector<double> entries;
    std::vector<bool> given;
    for (int i = 1; i <= n; ++i)
      for (int j = std::max(1, i - kl); j <= std::min(n, i + kl); ++j) {
        given.push_back(i >= first[j] && i <= last[j]);
        entries.push_back(given.back() ? u(rng) : 0.0);
      }
    // A few exact zeros, as a membrane tangent has.
    for (std::size_t e = 0; e < entries.size(); e += 7) entries[e] = 0.0;
    entries[0] = n > 1 ? 0.0 : 2.0;  // the first column must interchange
    auto fill = [&](auto& t) {
      std::size_t e = 0;
      for (int i = 1; i <= n; ++i)
        for (int j = std::max(1, i - kl); j <= std::min(n, i + kl); ++j, ++e)
          if (given[e]) t.add(i, j, entries[e]);
    };
    fmat1 b(n);
    for (int i = 1; i <= n; ++i) b(i) = u(rng);
    expect_same(n, kl, fill, b);
  }
}

TEST(BandSolver, RealTangentsGiveTheDenseSolution) {
  problem p = test::problem_from_text(test::makenet("disc rings=7 radius=10 pressure=-1 weight=0.2 program=2"), program::domica_2);
  state2 s = start2(p);
  const int n = s.as.d.n;
  int kl = bandwidth(p.nt, s.as.d);
  ASSERT_GT(kl, 4);
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> u(-0.5, 0.5);
  for (int trial = 0; trial < 3; ++trial) {
    fmat1 x(n), force(n), r(n);
    if (trial > 0)
      for (int i = 1; i <= n; ++i) x(i) = u(rng);
    auto fill = [&](auto& t) { structure(p.nt, s.as, -1.0, force, x, r, t); };
    expect_same(n, kl, fill, r);
  }
}
