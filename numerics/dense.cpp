#include "numerics/dense.h"

#include <new>
#include <string>

#include "numerics/lu.h"
#include "numerics/memory.h"

namespace domica {

double dense_tangent::bytes(int n) { return 8.0 * static_cast<double>(n) * static_cast<double>(n); }

void check_tangent_memory(int n) { check_memory(n, dense_tangent::bytes(n), "the Newton tangent", "8 n^2 bytes"); }

dense_tangent::dense_tangent(int n) : n_(n) {
  check_tangent_memory(n);
  try {
    a_ = fmat2(n, n);
  } catch (const std::bad_alloc&) {
    too_large(n, bytes(n), "the Newton tangent", "more than can be allocated", "8 n^2 bytes");
  }
}

linear_status dense_tangent::solve(fmat1& b) {
  int column = solvelu(n_, a_, b);
  if (column == 0) return {};
  return {linear_status::zero_pivot, column};
}

}  // namespace domica
