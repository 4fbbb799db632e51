// The end of every run: the elapsed-time report and the two result files.
#pragma once

#include "common/ansys.h"
#include "common/model.h"

namespace domica {

// An empty line, then the "Elapsed time = " line for `seconds`.
void print_elapsed(double seconds);

// Final geometry of the found surface, then autocad.scr and ansys.txt.
void write_results(model& m, const shell_rec& shell);

}  // namespace domica
