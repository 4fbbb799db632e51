// The solver and material parameters of a generated weblar.txt, read from
// keys with the ranges the programs accept. Shared by every generator.
#pragma once

#include <string>
#include <vector>

#include "tools/netgen/keys.h"

namespace netgen {

struct parameters {
  int program = 3;        // 1, 2 or 3: whose parameter blocks are written
  double lstol = 0.9;     // > 0 (domica_1, domica_3)
  int maxls = 10;         // >= 1 (domica_1, domica_3)
  double mntol = 1e-6;    // >= 0
  int maxminor = 1000;    // >= 0
  int maxmajor = 4;       // >= 0 (domica_2, domica_3)
  int maxlist = 8;        // >= 1 (domica_1, domica_3)
  double young = 1000;    // > 0
  double poisson = 0.3;   // -1 < poisson <= 0.5
  double thickness = 0.1; // > 0
  double weight = 0;      // weight per unit volume, acting in -z
  double pressure = 0;    // domica_2, domica_3 only
};

// The keys read by read_parameters, with their defaults, for usage texts.
const std::vector<std::string>& parameter_keys();
extern const char* const parameter_usage;

// Reads the parameter keys of k into p. A key the chosen program does not
// read (pressure, maxmajor for program=1; lstol, maxls, maxlist for
// program=2) is refused rather than dropped; so is a value out of range.
void read_parameters(const keys& k, parameters& p);

}  // namespace netgen
