#include "numerics/columns.h"

#include <algorithm>

#include "model/failure.h"
#include "numerics/memory.h"

namespace domica {

column_store::column_store(int n, const std::vector<std::vector<int>>& columns, bool lower, const std::string& what) : what_(what) {
  std::size_t nz = 0;
  for (const auto& c : columns) nz += c.size();
  // Column starts and row indices are 32-bit in the int interfaces of UMFPACK and CHOLMOD.
  if (nz > 2000000000u) too_large(n, 12.0 * static_cast<double>(nz), "the " + what, "more than 2e9 entries");
  ap.reserve(static_cast<std::size_t>(n) + 1);
  ai.reserve(nz);
  ap.push_back(0);
  for (int j = 1; j <= n; ++j) {
    for (int i : columns[static_cast<std::size_t>(j - 1)])
      if (!lower || i >= j) ai.push_back(i - 1);
    ap.push_back(static_cast<int>(ai.size()));
  }
  ax.assign(ai.size(), 0.0);
}

void column_store::zero() {
  std::fill(ax.begin(), ax.end(), 0.0);
  next_ = 0;
}

int column_store::position(int i, int j) const {
  auto first = ai.begin() + ap[static_cast<std::size_t>(j - 1)], last = ai.begin() + ap[static_cast<std::size_t>(j)];
  auto at = std::lower_bound(first, last, i - 1);
  if (at == last || *at != i - 1)
    throw failure(exit_internal, what_ + ": entry (" + std::to_string(i) + ", " + std::to_string(j) + ") outside its pattern");
  return static_cast<int>(at - ai.begin());
}

void column_store::add(int i, int j, double v) {
  int k = next_ < at_.size() ? at_[next_] : -1;
  if (k < 0 || ai[static_cast<std::size_t>(k)] != i - 1 || k < ap[static_cast<std::size_t>(j - 1)] || k >= ap[static_cast<std::size_t>(j)]) {
    k = position(i, j);
    at_.resize(next_);
    at_.push_back(k);
  }
  ++next_;
  double& a = ax[static_cast<std::size_t>(k)];
  a = a + v;
}

}  // namespace domica
