// The dense LU solver: interchanges, ties, small orders, a zero pivot, and
// its faster form against the plain Crout elimination, bit for bit; the
// memory check of the dense tangent.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <utility>

#include "model/failure.h"
#include "numerics/dense.h"
#include "numerics/lu.h"

using namespace domica;

namespace {

// The plain Crout elimination exactly as written, for comparison.
void plain_lu(int n, fmat2& a, fmat1& b) {
  for (int j = 1; j <= n; ++j) {
    for (int i = 1; i <= j; ++i) {
      double sum = a(i, j);
      for (int k = 1; k <= i - 1; ++k) sum = sum - a(i, k) * a(k, j);
      a(i, j) = sum;
    }
    int row = j;
    double pivot = std::fabs(a(j, j));
    for (int i = j + 1; i <= n; ++i) {
      double sum = a(i, j);
      for (int k = 1; k <= j - 1; ++k) sum = sum - a(i, k) * a(k, j);
      a(i, j) = sum;
      if (std::fabs(sum) > pivot) {
        row = i;
        pivot = std::fabs(sum);
      }
    }
    if (row != j) {
      for (int k = 1; k <= n; ++k) std::swap(a(row, k), a(j, k));
      std::swap(b(row), b(j));
    }
    pivot = a(j, j);
    for (int i = j + 1; i <= n; ++i) a(i, j) = a(i, j) / pivot;
  }
  for (int i = 1; i <= n; ++i) {
    double sum = b(i);
    for (int k = 1; k <= i - 1; ++k) sum = sum - a(i, k) * b(k);
    b(i) = sum;
  }
  for (int i = n; i >= 1; --i) {
    double sum = b(i);
    for (int k = i + 1; k <= n; ++k) sum = sum - a(i, k) * b(k);
    b(i) = sum / a(i, i);
  }
}

}  // namespace

TEST(SolveLu, InterchangeTiesAndSmallOrders) {
  fmat2 a(2, 2);
  fmat1 b(2);
  a(1, 1) = 0;
  a(1, 2) = 1;
  a(2, 1) = 2;
  a(2, 2) = 3;
  b(1) = 1;
  b(2) = 8;
  EXPECT_EQ(solvelu(2, a, b), 0);
  EXPECT_EQ(b(1), 2.5);
  EXPECT_EQ(b(2), 1.0);
  EXPECT_EQ(a(1, 1), 2.0);
  EXPECT_EQ(a(1, 2), 3.0);
  EXPECT_EQ(a(2, 1), 0.0);
  EXPECT_EQ(a(2, 2), 1.0);
  // Equal magnitudes keep the diagonal row: -3 and 3 below a diagonal 3.
  fmat2 t(3, 3);
  fmat1 c(3);
  double rows[3][3] = {{3, 1, 0}, {-3, 2, 1}, {3, 0, 4}};
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) t(i, j) = rows[i - 1][j - 1];
  c(1) = 1;
  c(2) = 2;
  c(3) = 3;
  solvelu(3, t, c);
  EXPECT_EQ(t(1, 1), 3.0);
  EXPECT_EQ(t(1, 2), 1.0);
  EXPECT_EQ(t(2, 1), -1.0);
  // n = 0 and n = 1.
  fmat2 e(0, 0);
  fmat1 eb(0);
  EXPECT_EQ(solvelu(0, e, eb), 0);
  fmat2 o(1, 1);
  fmat1 ob(1);
  o(1, 1) = 4;
  ob(1) = 2;
  solvelu(1, o, ob);
  EXPECT_EQ(ob(1), 0.5);
  // A zero pivot is reported with its column.
  fmat2 z(2, 2);
  fmat1 zb(2);
  z.fill(0.0);
  z(1, 1) = 1;
  zb.fill(1.0);
  EXPECT_EQ(solvelu(2, z, zb), 2);
}

TEST(SolveLu, RandomSystemsAndTheBitIdenticalFastForm) {
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> u(-1, 1);
  for (int n : {7, 60, 150}) {
    fmat2 a(n, n);
    fmat1 b(n);
    for (int i = 1; i <= n; ++i) {
      b(i) = u(rng);
      for (int j = 1; j <= n; ++j) a(i, j) = u(rng) + (i == j ? 0.5 * n : 0.0);
    }
    fmat2 a0 = a, a1 = a;
    fmat1 b0 = b, b1 = b;
    ASSERT_EQ(solvelu(n, a, b), 0);
    plain_lu(n, a1, b1);
    EXPECT_EQ(std::memcmp(a.data(), a1.data(), sizeof(double) * n * n), 0);
    EXPECT_EQ(std::memcmp(b.data(), b1.data(), sizeof(double) * n), 0);
    // Relative residual.
    double worst = 0.0, scale = 0.0;
    for (int i = 1; i <= n; ++i) {
      double sum = 0.0;
      for (int j = 1; j <= n; ++j) sum += a0(i, j) * b(j);
      worst = std::max(worst, std::fabs(sum - b0(i)));
      scale = std::max(scale, std::fabs(b0(i)));
    }
    EXPECT_LT(worst / scale, 1e-12) << n;
  }
}

TEST(DenseTangent, TooLargeForMemory) {
  try {
    check_tangent_memory(2000000);
    FAIL();
  } catch (const failure& f) {
    EXPECT_NE(std::string(f.what()).find("n = 2000000 unknowns; the Newton tangent needs 32000.0 GB"), std::string::npos)
        << f.what();
  }
}
