// The maximum norm, the measure of every convergence test of the system.
#pragma once

#include "model/array.h"

namespace nlp {

// Largest |v(k)| for k = 1..n, 0.0 when n <= 0. A component that is not a
// number makes the norm not a number, so no convergence test can pass on it.
double norm(int n, const domica::fmat1& v);

}  // namespace nlp
