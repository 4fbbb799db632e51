// Array types: 1-based bounds, empty arrays, row-major layout, copies and, in
// checked builds, the bounds checks.
#include <gtest/gtest.h>

#include "model/array.h"

using namespace domica;

TEST(Array, BoundsAndLayout) {
  fmat1 empty(0);
  EXPECT_EQ(empty.size(), 0u);
  EXPECT_EQ(empty.hi(), 0);

  imat2 a(2, 3);
  int k = 0;
  for (int i = 1; i <= 2; ++i)
    for (int j = 1; j <= 3; ++j) a(i, j) = ++k;
  // Stored row by row: the last index runs fastest.
  for (int p = 0; p < 6; ++p) EXPECT_EQ(a.data()[p], p + 1);

  fmat1 x(3);
  x.fill(1.5);
  x(1) = 3.0;
  fmat1 y = x;  // deep copy
  y(1) = 4.0;
  EXPECT_EQ(x(1), 3.0);
  EXPECT_EQ(y(3), 1.5);
}

#if defined(DOMICA_CHECKED)
TEST(Array, IndexOutsideBoundsIsCaught) {
  fmat1 x(3);
  EXPECT_THROW(x(0), std::out_of_range);
  EXPECT_THROW(x(4), std::out_of_range);
  imat2 index(2, 3);
  EXPECT_THROW(index(1, 4), std::out_of_range);
  EXPECT_THROW(index(3, 1), std::out_of_range);
  fvec3x1 v{};
  EXPECT_THROW(v(0), std::out_of_range);
}
#endif
