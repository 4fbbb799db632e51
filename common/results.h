// The end of every run: the elapsed-time report and the two result files.
#pragma once

#include <vector>

#include "common/outfile.h"
#include "common/problem.h"
#include "common/shell.h"
#include "common/surface.h"

namespace domica {

// An empty line, then the "Elapsed time = " line for `seconds`.
void print_elapsed(double seconds);

// The result files of a run, their texts empty: autocad.scr and ansys.txt.
std::vector<out_file> result_files();

// autocad.scr and ansys.txt of the found surface, written as one set: both
// texts are made (and every number in them checked finite) before either
// file is touched, then both are written to temporary files and renamed.
void write_results(const net& nt, const surface& sf, const shell_rec& shell);

}  // namespace domica
