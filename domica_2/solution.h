// Newton solution of domica_2 and its set-up.
#pragma once

#include <cstdio>

#include "common/model.h"

namespace domica {

// Numbering, plan geometry, self-weight into maxforce, coefficients; creates x.
void start2(model& m);

// Load steps with full Newton iterations from the flat plan (x = 0). Each step
// applies factor = major / maxmajor of all loads and of the pressure and
// iterates until the largest out-of-balance force is at most mntol times its
// value at the start of the step, or maxminor iterations are spent.
// A zero or non-finite pivot, or a non-finite correction, ends the run with a
// failure naming the step and the iteration.
void solution(model& m, std::FILE* out = stdout);

// Bytes of the dense tangent for n unknowns, and whether this machine can hold it.
double tangent_bytes(int n);
void check_tangent_memory(int n);

// The whole run of domica_2 in the working directory.
void run2();

}  // namespace domica
