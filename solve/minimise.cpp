#include "solve/minimise.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "mechanics/energy.h"
#include "mechanics/structure.h"
#include "model/failure.h"
#include "model/number.h"
#include "numerics/newton.h"
#include "numerics/norm.h"

namespace domica {

nlp::qn_result minimise(const net& nt, const assembly& as, const search_params& sp, const steps& st, double maxnorm,
                        const fmat2& force, fmat1& x, fmat1& g, energy_workspace& ws, progress& pr, newton_state* nw) {
  auto objective = [&](int, const fmat1& xk, fmat1& gk) {
    double f = energy(nt, as, force, xk, gk, ws);
    if (pr.due()) pr.search(nlp::norm(as.d.n, gk), maxnorm);
    return f;
  };
  const fmat1 begun = x;
  nlp::qn_result r;
  if (nw) {
    if (!nw->h) nw->h = std::make_unique<sparse_cholesky>(as.d.n, coupling(nt, as.d));
    auto hessian = [&](const fmat1& xk, sparse_cholesky& h, double prestress) { membrane_stiffness(nt, as, xk, h, prestress); };
    nlp::newton_params q;
    q.maxit = st.maxminor > 0 ? st.maxminor : 1;
    q.maxnorm = maxnorm;
    // A stress of a strain of 1e-3: the flat start's first sag.
    q.prestress = 1e-3 * as.hk.h11;
    // The factor of the last call preconditions the first step of this one
    // (domica_3's next call starts where the last ended, under new loads).
    q.warm = nw->iterations > 0;
    // The tolerance's gradient (maxnorm is mntol times it).
    q.scale = st.mntol > 0.0 ? maxnorm / st.mntol : 0.0;
    nlp::newton_result m = nlp::newton(objective, hessian, *nw->h, as.d.n, q, x, g);
    nw->iterations += m.iterations;
    nw->factorisations += m.factorisations;
    nw->shifted += m.shifted;
    nw->factor_seconds += m.factor_seconds;
    nw->complete += m.complete;
    nw->complete_seconds += m.complete_seconds;
    nw->cg_steps += m.cg_steps;
    r.minor = m.iterations;
    r.f = m.f;
    r.optimal = m.optimal;
    r.halted = m.halted;
  } else {
    nlp::qn_params q;
    q.maxminor = st.maxminor;
    q.maxnorm = maxnorm;
    q.maxls = sp.maxls;
    q.lstol = sp.lstol;
    q.maxlist = sp.maxlist;
    r = nlp::lbfgs(objective, as.d.n, q, x, g);
  }
  if (!std::isfinite(nlp::norm(as.d.n, g))) throw failure(exit_solution, "the gradient is not finite; no output written");
  for (int i = 1; i <= as.d.n && !r.moved; ++i) r.moved = x(i) != begun(i);
  if (r.halted) pr.line("Line Search Failure\n");
  return r;
}

void no_step_from_the_start(const nlp::qn_result& r) {
  if (r.halted && !r.moved)
    throw failure(exit_solution, "the minimiser found no descent direction from the start (Line Search Failure); no output written");
}

std::string halt_line(const steps& st, double reached, double maxnorm, bool newton) {
  std::string why = newton ? "the Newton minimiser found no step that lowers the energy (Line Search Failure)"
                           : "the minimiser found no descent direction (Line Search Failure), also after a restart from steepest descent";
  char buf[200];
  if (st.mntol == 0.0) {
    why += "; mntol = 0 asks for a gradient of exactly zero, which double precision does not reach";
  } else if (maxnorm > 0.0) {
    // maxnorm is mntol times the gradient the tolerance refers to.
    double start = maxnorm / st.mntol;
    std::snprintf(buf, sizeof buf, "; the largest gradient component is %.1e of its start value, %.3g times the target (mntol = %.1e)",
                  reached / start, reached / maxnorm, st.mntol);
    why += buf;
    // After a long descent the halt is most likely rounding: say so.
    if (reached / start <= 1e-4) why += ": mntol may be below what double precision reaches on this net";
  }
  return why + "; the shape reached is written";
}

std::string newton_note(const newton_state& nw) {
  char buf[300];
  double per = nw.complete > 0 ? nw.complete_seconds / static_cast<double>(nw.complete) : 0.0;
  double rate = nw.complete_seconds > 0.0 && nw.h ? nw.h->factor_flops() * static_cast<double>(nw.complete) / nw.complete_seconds / 1e9 : 0.0;
  std::snprintf(buf, sizeof buf,
                "Newton: %lld iterations, %lld factorisations (%lld complete, %lld shifted; %.2f s in all), %lld conjugate-gradient steps, "
                "%.3f s each complete factorisation, factor of %.3g entries, %.2f GFLOP/s",
                nw.iterations, nw.factorisations, nw.complete, nw.shifted, nw.factor_seconds, nw.cg_steps, per,
                nw.h ? nw.h->factor_entries() : 0.0, rate);
  return buf;
}

}  // namespace domica
