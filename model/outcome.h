// How a solution ended, judged on its final state: the results of an
// unconverged solution are still written, but the run says so.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace domica {

struct outcome {
  std::vector<std::string> unsettled;  // earlier load steps that ended above their target, one line each
  std::string unconverged;             // the final state's line when it is above its target; empty when converged
  std::string full_load;               // domica_2: the final out-of-balance against the full load, for the summary
};

// "WHAT ended unconverged: MEASURE 2.1e+03, target 4.0e-06".
inline std::string unconverged_line(const std::string& what, const char* measure, double value, double target) {
  char buf[64];
  std::snprintf(buf, sizeof buf, " %.1e, target %.1e", value, target);
  return what + " ended unconverged: " + measure + buf;
}

}  // namespace domica
