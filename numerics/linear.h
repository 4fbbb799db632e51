// The seam between the Newton loop and its linear solvers. Each solver is a
// class with zero(), add(i, j, v) and solve(b) -> linear_status (band.h,
// dense.h, sparse.h); make_tangent chooses and makes one. The Newton loop is
// a template over the solver's class, so assembly makes no indirect call per
// entry; std::visit on the choice instantiates it for each.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace domica {

// Which linear solver a caller asks for.
enum class linear_kind {
  automatic,  // band, or dense where the band is nearly the whole matrix
  band,       // the same as automatic: exact, the band of the numbering
  dense,      // exact, the whole matrix
  sparse,     // UMFPACK on a fill-reducing ordering; rounds differently
};

// The name of a kind on the command line ("band", ...; "" for automatic), and back.
const char* linear_name(linear_kind kind);

// How a solve ended.
struct linear_status {
  enum code_t { solved, zero_pivot, singular } code = solved;
  int column = 0;  // with zero_pivot: the first column whose pivot is zero or not finite
  bool ok() const { return code == solved; }
};

class band_tangent;
class dense_tangent;
class sparse_tangent;

using any_tangent = std::variant<std::unique_ptr<band_tangent>, std::unique_ptr<dense_tangent>, std::unique_ptr<sparse_tangent>>;

// The solver chosen and why, for the run's note.
struct tangent_choice {
  any_tangent tangent;
  std::string what;  // "band solver", "dense solver (the band is nearly the whole matrix)", ...
};

// Make the tangent of `kind` for n unknowns whose lower bandwidth is `band`;
// `pattern` gives the rows of each column (ascending, 1-based; see
// sparse.h) and is called only for the sparse solver. A tangent this machine
// cannot hold is an input failure naming n and the bytes needed.
tangent_choice make_tangent(linear_kind kind, int n, int band, const std::function<std::vector<std::vector<int>>()>& pattern);

}  // namespace domica
