// Array types: bounds, empty ranges, row-major layout, deep copies and, in
// checked builds, the bounds checks.
#include <gtest/gtest.h>

#include "common/terms.h"

using namespace domica;

TEST(Terms, BoundsAndLayout) {
  fmat1 empty(1, 0);
  EXPECT_EQ(empty.size(), 0u);
  EXPECT_EQ(empty.lo(), 1);
  EXPECT_EQ(empty.hi(), 0);

  imat2 a(1, 2, 1, 3);
  int k = 0;
  for (int i = 1; i <= 2; ++i)
    for (int j = 1; j <= 3; ++j) a(i, j) = ++k;
  // Stored row by row: the last index runs fastest.
  for (int p = 0; p < 6; ++p) EXPECT_EQ(a.data()[p], p + 1);

  fmat3 c(1, 2, 1, 2, 1, 2);
  c(2, 1, 2) = 7.0;
  EXPECT_EQ(c.size(), 8u);
  EXPECT_EQ(c(2, 1, 2), 7.0);

  fmat1 x(-2, 2);
  x.fill(1.5);
  x(-2) = 3.0;
  fmat1 y = x;  // deep copy
  y(-2) = 4.0;
  EXPECT_EQ(x(-2), 3.0);
  EXPECT_EQ(y(2), 1.5);
}

#if defined(DOMICA_CHECKED)
TEST(Terms, IndexOutsideBoundsIsCaught) {
  fmat1 x(1, 3);
  EXPECT_THROW(x(0), std::out_of_range);
  EXPECT_THROW(x(4), std::out_of_range);
  imat2 index(1, 2, 1, 3);
  EXPECT_THROW(index(1, 4), std::out_of_range);
  EXPECT_THROW(index(3, 1), std::out_of_range);
  fvec3x1 v{};
  EXPECT_THROW(v(0), std::out_of_range);
}
#endif
