// Hencky's clamped disc of the benchmarks, made by makenet: radius 1, young
// 10000, poisson 0.3, thickness 0.1, pressure -1.
#pragma once

#include "model/problem.h"

namespace domica {

// The disc of `rings` rings (3 rings^2 + 3 rings + 1 nodes) as program p
// reads it, numbered by reverse Cuthill-McKee (rcm) or ring by ring.
problem hencky_disc(int rings, program p, bool rcm);

}  // namespace domica
