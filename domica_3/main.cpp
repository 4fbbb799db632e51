// domica_3: form finding of a membrane shell under self-weight, point loads
// and a pressure that follows the surface.
//
// Run it in a folder that holds weblar.txt and shell.txt; it writes
// autocad.scr and ansys.txt there. It minimises the membrane energy with
// limited-memory BFGS in maxmajor load steps, setting the pressure loads anew
// for the current shape after every minimisation.
#include "common/report.h"
#include "domica_3/driver.h"

int main() { return domica::guarded_main("domica_3", domica::run3); }
