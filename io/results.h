// The end of every run: the elapsed-time report and the two result files.
#pragma once

#include <vector>

#include "io/outfile.h"
#include "model/problem.h"
#include "io/shell.h"
#include "model/surface.h"

namespace domica {

// An empty line, then the "Elapsed time = " line for `seconds`.
void print_elapsed(double seconds);

// The result files of a run, their texts empty: autocad.scr and ansys.txt,
// then the names in `extra` (files asked for by options, such as shell.vtu).
std::vector<out_file> result_files(const std::vector<std::string>& extra = {});

// autocad.scr and ansys.txt of the found surface and the files of `extra`
// (texts already made), written as one set: every text is made (and every
// number in it checked finite) before any file is touched, then all are
// written to temporary files and renamed.
void write_results(const net& nt, const surface& sf, const shell_rec& shell, const std::vector<out_file>& extra = {});

}  // namespace domica
