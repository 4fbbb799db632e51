#include "common/results.h"

#include <cstdio>

#include "common/autocad.h"
#include "common/geometry.h"
#include "common/report.h"

namespace domica {

void print_elapsed(double seconds) {
  std::fputs("\n", stdout);
  std::fputs(elapsed_line(seconds).c_str(), stdout);
  std::fflush(stdout);
}

void write_results(model& m, const shell_rec& shell) {
  finish(m);
  autocad(m);
  ansys(m, shell);
}

}  // namespace domica
