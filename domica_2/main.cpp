// domica_2: form finding of a membrane shell by Newton's method with the
// exact tangent (material, geometric and pressure-load stiffness) and a dense
// LU solver, all loads applied in maxmajor equal steps.
//
// Run it in a folder that holds weblar.txt (the domica_2 parameter blocks)
// and shell.txt, or name that folder as its argument; it writes autocad.scr
// and ansys.txt there. Fixed coordinates stay at their plan position.
#include "common/command_line.h"
#include "common/report.h"
#include "domica_2/driver.h"

int main(int argc, char** argv) {
  const char* summary =
      "Form finding of a membrane shell by Newton's method with the exact\n"
      "tangent, all loads in equal steps.";
  domica::run_options opts;
  if (auto end = domica::command_line("domica_2", summary, argc, argv, opts)) return *end;
  return domica::guarded_main("domica_2", [&] { domica::run2(opts); });
}
