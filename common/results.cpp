#include "common/results.h"

#include <cstdio>

#include "common/ansys.h"
#include "common/autocad.h"
#include "common/report.h"

namespace domica {

void print_elapsed(double seconds) {
  std::fputs("\n", stdout);
  std::fputs(elapsed_line(seconds).c_str(), stdout);
  std::fflush(stdout);
}

void write_results(const net& nt, const surface& sf, const shell_rec& shell) {
  autocad(nt, sf);
  ansys(nt, sf, shell);
}

}  // namespace domica
