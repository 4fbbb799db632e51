// One minimisation of the membrane energy under given loads, the step shared
// by domica_3 and domica_1: limited-memory BFGS (the default) or Newton's
// method on the sparse Hessian of the membrane (numerics/newton.h).
#pragma once

#include <memory>
#include <string>

#include "mechanics/energy.h"
#include "mechanics/setup.h"
#include "model/problem.h"
#include "numerics/cholesky.h"
#include "numerics/qn.h"
#include "solve/result.h"

namespace domica {

// What Newton's method keeps over the minimisations of one solution: the
// factorisation, analysed once for the net at the first minimisation, and
// what it counted.
struct newton_state {
  std::unique_ptr<sparse_cholesky> h;
  long long iterations = 0;      // Newton iterations
  long long factorisations = 0;  // factorisations, those of a shift that failed included
  long long shifted = 0;         // iterations whose Hessian needed a shift
  double factor_seconds = 0.0;   // wall time of the factorisations
  long long complete = 0;        // factorisations that gave a factor
  double complete_seconds = 0.0; // their wall time
  long long cg_steps = 0;        // conjugate-gradient steps
};

// Minimise the energy under `force` (nn x 3) from x (as.d.n entries) until the
// largest gradient component is at most maxnorm or st.maxminor line searches
// (Newton iterations) are spent. x and g (as.d.n) end at the last point; the
// energy's buffers and threads are those of ws. Each evaluation asks pr
// whether the gradient is due for the progress display. With nw, Newton's
// method (its state kept in *nw); without, limited-memory BFGS.
//
// A minimiser that cannot go on, even after a restart from steepest descent,
// gives the console line "Line Search Failure" and returns with halted set at
// the last good point (halt_line says how far it came), and moved when that
// is not where it started. A gradient that is not finite at the end is a
// solution failure.
nlp::qn_result minimise(const net& nt, const assembly& as, const search_params& sp, const steps& st, double maxnorm,
                        const fmat2& force, fmat1& x, fmat1& g, energy_workspace& ws, progress& pr,
                        newton_state* nw = nullptr);

// The solution failure of a first minimisation that halted where it started
// (a net without stiffness, say: nothing was found worth writing); nothing
// otherwise.
void no_step_from_the_start(const nlp::qn_result& r);

// The outcome's line of a halted minimisation whose largest gradient
// component is `reached` against the target maxnorm (= st.mntol times the
// start's), of Newton's method or of the default minimiser.
std::string halt_line(const steps& st, double reached, double maxnorm, bool newton = false);

// The run's note of Newton's method: iterations, factorisations, the
// factor's entries, and the time and rate of a complete factorisation (a
// shift that fails stops early and would make both look better).
std::string newton_note(const newton_state& nw);

}  // namespace domica
