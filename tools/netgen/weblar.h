// Writing a generated net as the weblar.txt of one of the programs.
#pragma once

#include <string>

#include "tools/netgen/net.h"
#include "tools/netgen/parameters.h"

namespace netgen {

// The shortest decimal text that reads back as exactly v: "0.3", "1e-06",
// "10"; zero is written "0" whatever its sign.
std::string shortest(double v);

// The whole weblar.txt of net n with the parameter blocks of p.program.
// Inputs:
//   n  net with 0-based node numbers (written 1-based)
//   p  parameters
// Outputs:
//   the file's text
std::string weblar_text(const net& n, const parameters& p);

}  // namespace netgen
