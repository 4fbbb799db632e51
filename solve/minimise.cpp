#include "solve/minimise.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "model/failure.h"
#include "app/progress.h"
#include "mechanics/energy.h"
#include "numerics/norm.h"

namespace domica {

nlp::qn_result minimise(const net& nt, const assembly& as, const search_params& sp, const steps& st, double maxnorm,
                        const fmat2& force, fmat1& x, fmat1& g, energy_workspace& ws) {
  // The smallest gradient met, for the report of a halt.
  double least = std::numeric_limits<double>::infinity();
  auto objective = [&](int, const fmat1& xk, fmat1& gk) {
    double f = energy(nt, as, force, xk, gk, ws);
    double reached = nlp::norm(as.d.n, gk);
    if (reached < least) least = reached;
    if (progress_due()) progress_search(reached, maxnorm);
    return f;
  };
  nlp::qn_result r;
  try {
    r = nlp::lbfgs(objective, sp.maxlist, as.d.n, st.maxminor, sp.maxls, maxnorm, sp.lstol, x, g);
  } catch (const nlp::halt&) {
    progress_clear();
    std::fputs("Line Search Failure\n", stdout);
    std::fflush(stdout);
    std::string why = "the minimiser found no descent direction (Line Search Failure)";
    // maxnorm is mntol times the gradient the tolerance refers to.
    double start = st.mntol > 0.0 ? maxnorm / st.mntol : 0.0;
    char buf[160];
    if (st.mntol == 0.0) {
      why += "; mntol = 0 asks for a gradient of exactly zero, which double precision does not reach";
    } else if (start > 0.0 && std::isfinite(least)) {
      std::snprintf(buf, sizeof buf, "; the largest gradient component had fallen to %.1e of its start value, against mntol = %.1e", least / start,
                    st.mntol);
      why += buf;
      // After a long descent the halt is most likely rounding: say so.
      if (least / start <= 1e-4) why += ": mntol may be below what double precision reaches on this net";
    }
    throw failure(exit_solution, why + "; no output written");
  }
  if (!std::isfinite(nlp::norm(as.d.n, g))) throw failure(exit_solution, "the gradient is not finite; no output written");
  return r;
}

}  // namespace domica
