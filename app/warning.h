// Warning lines on standard error: the run goes on and its exit status is
// not changed by them.
#pragma once

#include <string>

#include "model/problem.h"

namespace domica {

// Write "PROGRAM: warning: text" and a line end on standard error.
void warn(program variant, const std::string& text);

}  // namespace domica
