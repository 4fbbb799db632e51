// Raised when a line search cannot go on: its direction does not descend, or
// it ended at a point whose value or gradient is not finite. Whoever runs the
// minimiser turns it into the run's outcome.
#pragma once

namespace nlp {

struct halt {};

}  // namespace nlp
