// The end of every run: the elapsed-time report and the two result files.
#pragma once

#include "common/problem.h"
#include "common/shell.h"
#include "common/surface.h"

namespace domica {

// An empty line, then the "Elapsed time = " line for `seconds`.
void print_elapsed(double seconds);

// autocad.scr and ansys.txt of the found surface.
void write_results(const net& nt, const surface& sf, const shell_rec& shell);

}  // namespace domica
