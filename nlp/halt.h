// Raised when a line search cannot go on: its direction does not descend, or
// it ended at a point whose value or gradient is not finite. The line
// "Line Search Failure" has been written to standard output before.
#pragma once

namespace nlp {

struct halt {};

}  // namespace nlp
