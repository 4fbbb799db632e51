// One minimisation of the membrane energy under given loads with
// limited-memory BFGS: the step shared by domica_3 and domica_1.
#pragma once

#include "model/problem.h"
#include "mechanics/energy.h"
#include "mechanics/setup.h"
#include "numerics/qn.h"

namespace domica {

// Minimise the energy under `force` (nn x 3) from x (as.d.n entries) until the
// largest gradient component is at most maxnorm or st.maxminor line searches
// are spent. x and g (as.d.n) end at the last point; the energy is evaluated
// in ws.
//
// A line search that cannot go on writes "Line Search Failure" on standard
// output and ends the run with a solution failure whose line tells how far
// the gradient had fallen against mntol; this is the one place where the
// minimiser's halt becomes the run's outcome. A gradient that is not finite
// at the end is a solution failure too.
nlp::qn_result minimise(const net& nt, const assembly& as, const search_params& sp, const steps& st, double maxnorm,
                        const fmat2& force, fmat1& x, fmat1& g, energy_workspace& ws);

}  // namespace domica
