// domica_3: form finding of a membrane shell under self-weight, point loads
// and a pressure that follows the surface.
//
// Run it in a folder that holds weblar.txt and shell.txt, or name that folder
// as its argument; it writes autocad.scr and ansys.txt there. It minimises
// the membrane energy with limited-memory BFGS in maxmajor load steps,
// setting the pressure loads anew for the current shape after every
// minimisation.
#include "common/command_line.h"
#include "common/report.h"
#include "domica_3/driver.h"

int main(int argc, char** argv) {
  const char* summary =
      "Form finding of a membrane shell under self-weight, point loads and a\n"
      "pressure that follows the surface (limited-memory BFGS in load steps).";
  domica::run_options opts;
  if (auto end = domica::command_line("domica_3", summary, argc, argv, opts)) return *end;
  return domica::guarded_main("domica_3", [&] { domica::run3(opts); });
}
