// The memory check of the linear solvers: a matrix that cannot be held is
// bad input for this machine, reported before the solution starts.
#pragma once

#include <string>

namespace domica {

// An input failure when `bytes` exceed 80 % of this machine's memory, or
// when bytes + beside exceed what is left of the address-space limit
// (ulimit -v) of this process.
// Inputs: n the unknowns, bytes needed, what needs them, how they are
// counted, bytes mapped beside them (the BLAS's buffers).
void check_memory(int n, double bytes, const std::string& what, const std::string& rule, double beside = 0.0);

// The input failure itself: "the net has n = ... unknowns; WHAT needs X GB (RULE), WHY".
[[noreturn]] void too_large(int n, double bytes, const std::string& what, const std::string& why, const std::string& rule = "");

}  // namespace domica
