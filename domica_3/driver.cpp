#include "domica_3/driver.h"

#include <chrono>
#include <cmath>
#include <string>

#include "solve/lines.h"
#include "mechanics/energy.h"
#include "model/failure.h"
#include "numerics/norm.h"
#include "solve/minimise.h"

namespace domica {

state3 start3(const problem& p, int threads) {
  state3 s;
  static_cast<net_state&>(s) = prepare(p);
  s.ws = energy_workspace(threads > 0 ? threads : default_energy_threads(p.nt.ne));
  s.ld.fp = fmat2(p.nt.nn, 3);
  s.ld.force = fmat2(p.nt.nn, 3);
  s.g = fmat1(s.as.d.n);
  // The threshold refers to the full load at the initial shape.
  setforce(p.nt, s.as.d, p.load.pressure, 1.0, s.x, s.loads, s.ld);
  energy(p.nt, s.as, s.ld.force, s.x, s.g, s.ws);
  double start = nlp::norm(s.as.d.n, s.g);
  if (!std::isfinite(start)) throw failure(exit_solution, "the gradient at the plan is not finite; no output written");
  s.maxnorm = start * p.st.mntol;
  return s;
}

outcome solve3(const problem& p, state3& s, progress& pr, int maxcalls, newton_state* nw) {
  const int n = s.as.d.n;
  outcome end;
  pr.run(progress_kind::minimiser_calls, p.st.maxmajor, maxcalls);
  for (int major = 1; major <= p.st.maxmajor; ++major) {
    pr.step(major);
    double factor = static_cast<double>(major) / static_cast<double>(p.st.maxmajor);
    setforce(p.nt, s.as.d, p.load.pressure, factor, s.x, s.loads, s.ld);
    energy(p.nt, s.as, s.ld.force, s.x, s.g, s.ws);
    int calls = 0;
    bool last_optimal = true, halted = false;
    while (nlp::norm(n, s.g) > s.maxnorm) {
      if (calls == maxcalls) {
        // The shape keeps moving under its follower loads: give the step up.
        if (last_optimal) pr.line(not_attained_line(major));
        break;
      }
      ++calls;
      const double before = nlp::norm(n, s.g);
      nlp::qn_result r = minimise(p.nt, s.as, p.search, p.st, s.maxnorm, s.ld.force, s.x, s.g, s.ws, pr, nw);
      if (major == 1 && calls == 1) no_step_from_the_start(r);
      pr.iteration(r.minor, nlp::norm(n, s.g), s.maxnorm);
      last_optimal = r.optimal;
      pr.line(r.optimal ? major_line(major, r.minor) : not_attained_line(major));
      setforce(p.nt, s.as.d, p.load.pressure, factor, s.x, s.loads, s.ld);
      energy(p.nt, s.as, s.ld.force, s.x, s.g, s.ws);
      // A halt ends a call at the floor of its loads, and the loads set anew
      // for its shape may still move it; a halted call that did not lower the
      // gradient under them ends the step.
      halted = r.halted;
      if (halted && !(nlp::norm(n, s.g) < before)) break;
    }
    double reached = nlp::norm(n, s.g);
    if (!std::isfinite(reached))
      throw failure(exit_solution, "the gradient is not finite at load step " + std::to_string(major) + "; no output written");
    if (reached > s.maxnorm) {
      std::string line = halted ? "load step " + std::to_string(major) + ": " + halt_line(p.st, reached, s.maxnorm, nw != nullptr)
                                : unconverged_line("load step " + std::to_string(major), "largest gradient component", reached, s.maxnorm);
      if (major == p.st.maxmajor) end.unconverged = line;
      else end.unsettled.push_back(line);
    }
    pr.step_end(reached, s.maxnorm);
  }
  return end;
}

solution_result solve_domica_3(const problem& p, const solve_options& opts, observer& obs) {
  state3 s = start3(p, opts.threads);
  if (const fmat1* from = start_shape(opts, s.as.d.n)) s.x = *from;
  obs.started();
  progress pr(obs);
  if (p.st.maxmajor == 0) pr.warning("maxmajor is 0: no load step was made, the results show the plan");
  if (p.st.maxminor == 0) pr.warning("maxminor is 0: each minimiser call still makes its first line search");
  warn_short_of_threads(pr, opts.threads > 0 ? opts.threads : default_energy_threads(p.nt.ne), s.ws.threads());
  auto clock1 = std::chrono::steady_clock::now();
  newton_state nw;
  const bool newton = opts.method == minimiser::newton;
  outcome end = solve3(p, s, pr, max_calls_per_step, newton ? &nw : nullptr);
  if (newton) pr.note(newton_note(nw));
  return make_result(p, s.as, s.x, opts, std::move(end), pr.counts, seconds_since(clock1));
}

}  // namespace domica
