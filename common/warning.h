// Warning lines on standard error: the run goes on and its exit status is
// not changed by them.
#pragma once

#include <string>

#include "common/problem.h"

namespace domica {

// "domica_1", "domica_2" or "domica_3".
const char* program_name(program variant);

// Write "PROGRAM: warning: text" and a line end on standard error.
void warn(program variant, const std::string& text);

}  // namespace domica
