#include "membrane/minimise.h"

#include <cstdio>

#include "common/failure.h"
#include "common/progress.h"
#include "membrane/energy.h"
#include "nlp/norm.h"

namespace domica {

nlp::qn_result minimise(const net& nt, const assembly& as, const search_params& sp, const steps& st, double maxnorm,
                        const fmat2& force, fmat1& x, fmat1& g) {
  auto objective = [&](int n, const fmat1& xk, fmat1& gk) {
    double f = energy(nt, as, force, xk, gk);
    if (progress_due()) progress_search(nlp::norm(n, gk), maxnorm);
    return f;
  };
  try {
    return nlp::lbfgs(objective, sp.maxlist, as.d.n, st.maxminor, sp.maxls, maxnorm, sp.lstol, x, g);
  } catch (const nlp::halt&) {
    progress_clear();
    std::fputs("Line Search Failure\n", stdout);
    std::fflush(stdout);
    throw failure(exit_solution, "the minimiser found no descent direction (Line Search Failure); no output written");
  }
}

}  // namespace domica
