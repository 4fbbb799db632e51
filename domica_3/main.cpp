// domica_3: form finding of a membrane shell under self-weight, point loads
// and a pressure that follows the surface.
//
// Run it in a folder that holds weblar.txt and shell.txt, or name that folder
// as its argument; it writes autocad.scr and ansys.txt there. It minimises
// the membrane energy with limited-memory BFGS in maxmajor load steps,
// setting the pressure loads anew for the current shape after every
// minimisation.
#include "app/command_line.h"
#include "app/run.h"
#include "domica_3/driver.h"

int main(int argc, char** argv) {
  domica::program_def prog{domica::program::domica_3,
                             "Form finding of a membrane shell under self-weight, point loads and a\n"
                             "pressure that follows the surface (limited-memory BFGS in load steps).",
                             {}, domica::solve_domica_3};
  prog.options.push_back(domica::method_option());
  return domica::program_main(prog, argc, argv);
}
