// domica_2: form finding of a membrane shell by Newton's method with the
// exact tangent (material, geometric and pressure-load stiffness) and a dense
// LU solver, all loads applied in maxmajor equal steps.
//
// Run it in a folder that holds weblar.txt (the domica_2 parameter blocks)
// and shell.txt, or name that folder as its argument; it writes autocad.scr
// and ansys.txt there. Fixed coordinates stay at their plan position.
#include "app/command_line.h"
#include "domica_2/driver.h"

int main(int argc, char** argv) {
  return domica::program_main("domica_2",
      "Form finding of a membrane shell by Newton's method with the exact\n"
      "tangent, all loads in equal steps.",
      argc, argv, domica::run2);
}
