// domica_1: form finding of a membrane shell under fixed loads (self-weight
// and point loads, no pressure): the classic inverted hanging membrane.
//
// Run it in a folder that holds weblar.txt (the domica_1 parameter blocks)
// and shell.txt, or name that folder as its argument; it writes autocad.scr
// and ansys.txt there. It minimises the membrane energy once with
// limited-memory BFGS and says whether the minimiser ended at an optimal
// point.
#include "app/command_line.h"
#include "app/run.h"
#include "domica_1/driver.h"

int main(int argc, char** argv) {
  domica::program_def prog{domica::program::domica_1,
                             "Form finding of a membrane shell under fixed loads, self-weight and\n"
                             "point loads (one limited-memory BFGS minimisation).",
                             {}, domica::solve_domica_1};
  prog.options.push_back(domica::method_option());
  return domica::program_main(prog, argc, argv);
}
