#include "tools/netgen/parameters.h"

#include <limits>

#include "tools/netgen/net.h"

namespace netgen {

const std::vector<std::string>& parameter_keys() {
  static const std::vector<std::string> names = {"program",  "lstol",   "maxls", "mntol",     "maxminor", "maxmajor",
                                                 "maxlist",  "young",   "poisson", "thickness", "weight",   "pressure"};
  return names;
}

const char* const parameter_usage =
    "  program=1|2|3     which program reads the file [3]\n"
    "  lstol=R maxls=N mntol=R maxminor=N maxmajor=N maxlist=N\n"
    "                    solver parameters [0.9 10 1e-6 1000 4 8]; each program\n"
    "                    takes only its own (domica_1: no maxmajor; domica_2: no\n"
    "                    lstol, maxls, maxlist)\n"
    "  young=R poisson=R thickness=R weight=R pressure=R\n"
    "                    material and loads [1000 0.3 0.1 0 0]; weight per unit\n"
    "                    volume acts in -z; pressure < 0 lifts the net (not for\n"
    "                    program=1)\n";

void read_parameters(const keys& k, parameters& p) {
  const int most = std::numeric_limits<int>::max();
  p.program = int_key(k, "program", 3, 1, 3);
  auto refuse_for = [&](const char* key) {
    if (has_key(k, key))
      throw tool_error{std::string(key) + " is not read by domica_" + std::to_string(p.program) +
                           (std::string(key) == "pressure" ? "; choose program=2 or 3 for a pressure" : "; leave it out"),
                       true};
  };
  if (p.program == 1) {
    refuse_for("pressure");
    refuse_for("maxmajor");
  }
  if (p.program == 2) {
    refuse_for("lstol");
    refuse_for("maxls");
    refuse_for("maxlist");
  }
  p.lstol = real_key(k, "lstol", p.lstol, positive());
  p.maxls = int_key(k, "maxls", p.maxls, 1, most);
  p.mntol = real_key(k, "mntol", p.mntol, {0.0, std::numeric_limits<double>::infinity(), false, false});
  p.maxminor = int_key(k, "maxminor", p.maxminor, 0, most);
  p.maxmajor = int_key(k, "maxmajor", p.maxmajor, 0, most);
  p.maxlist = int_key(k, "maxlist", p.maxlist, 1, most);
  p.young = real_key(k, "young", p.young, positive());
  p.poisson = real_key(k, "poisson", p.poisson, {-1.0, 0.5, true, false});
  p.thickness = real_key(k, "thickness", p.thickness, positive());
  p.weight = real_key(k, "weight", p.weight, any_real());
  p.pressure = real_key(k, "pressure", p.pressure, any_real());
}

}  // namespace netgen
