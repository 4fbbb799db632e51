#include "numerics/linear.h"

#include "numerics/band.h"
#include "numerics/dense.h"
#include "numerics/sparse.h"

namespace domica {

const char* linear_name(linear_kind kind) {
  switch (kind) {
    case linear_kind::band: return "band";
    case linear_kind::dense: return "dense";
    case linear_kind::sparse: return "sparse";
    default: return "";
  }
}

tangent_choice make_tangent(linear_kind kind, int n, int band, const std::function<std::vector<std::vector<int>>()>& pattern) {
  tangent_choice c;
  if (kind == linear_kind::sparse) {
    c.tangent = std::make_unique<sparse_tangent>(n, pattern());
    c.what = "sparse solver";
    return c;
  }
  // The band storage holds 3 b + 1 numbers a column: beyond n it is no saving.
  bool nearly_full = 3.0 * band + 1 >= n;
  if (kind == linear_kind::dense || nearly_full) {
    c.tangent = std::make_unique<dense_tangent>(n);
    c.what = std::string("dense solver") + (kind == linear_kind::dense ? "" : " (the band is nearly the whole matrix)");
    return c;
  }
  c.tangent = std::make_unique<band_tangent>(n, band);
  c.what = "band solver";
  return c;
}

}  // namespace domica
