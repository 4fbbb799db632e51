// The result set of a run: autocad.scr and ansys.txt of the found surface and
// the files that options add, written in one folder as one set.
#pragma once

#include <string>
#include <vector>

#include "io/outfile.h"
#include "io/shell.h"
#include "model/problem.h"
#include "model/surface.h"

namespace domica {

// The result files of a run in `folder` ("" for the current one), their
// texts empty: autocad.scr and ansys.txt, then the names in `extra` (files
// asked for by options, such as shell.vtu).
std::vector<out_file> result_files(const std::string& folder, const std::vector<std::string>& extra = {});

// autocad.scr and ansys.txt of the found surface in `folder` and the files of
// `extra` (paths and texts already made), written as one set: every text is
// made (and every number in it checked finite) before any file is touched,
// then all are written to temporary files and renamed.
void write_results(const std::string& folder, const net& nt, const surface& sf, const shell_rec& shell,
                   const std::vector<out_file>& extra = {});

}  // namespace domica
