// domica_2: form finding of a membrane shell by Newton's method with the
// exact tangent (material, geometric and pressure-load stiffness), solved by
// the exact band solver (dense or sparse on request), all loads applied in
// maxmajor equal steps.
//
// Run it in a folder that holds weblar.txt (the domica_2 parameter blocks)
// and shell.txt, or name that folder as its argument; it writes autocad.scr
// and ansys.txt there. Fixed coordinates stay at their plan position.
#include <string>

#include "app/run.h"
#include "domica_2/driver.h"
#include "model/failure.h"

int main(int argc, char** argv) {
  domica::program_def prog{domica::program::domica_2,
                             "Form finding of a membrane shell by Newton's method with the exact\n"
                             "tangent, all loads in equal steps.",
                             {}, domica::solve_domica_2};
  // The linear solver of the Newton steps.
  prog.options.push_back({"--solver", "[--solver=NAME]",
                          "  --solver=NAME  linear solver: band (exact, the default), dense (exact),\n"
                          "               sparse (fill-reducing, rounds differently)\n",
                          [](const std::string& v, domica::run_options& o) -> std::string {
                            if (v == "band") o.solve.solver = domica::linear_kind::band;
                            else if (v == "dense") o.solve.solver = domica::linear_kind::dense;
                            else if (v == "sparse") o.solve.solver = domica::linear_kind::sparse;
                            else return "--solver wants band, dense or sparse, found " + domica::quoted(v, std::string::npos);
                            return "";
                          }});
  return domica::program_main(prog, argc, argv);
}
