#include "domica_3/driver.h"

#include <cmath>
#include <string>

#include "model/failure.h"
#include "app/progress.h"
#include "app/report.h"
#include "mechanics/energy.h"
#include "solve/minimise.h"
#include "app/run.h"
#include "numerics/norm.h"

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

outcome solve3(const problem& p, state3& s, std::FILE* out, int maxcalls) {
  const int n = s.as.d.n;
  outcome end;
  progress_run(progress_kind::minimiser_calls, p.st.maxmajor);
  for (int major = 1; major <= p.st.maxmajor; ++major) {
    progress_step(major);
    double factor = static_cast<double>(major) / static_cast<double>(p.st.maxmajor);
    setforce(p.nt, s.as.d, p.load.pressure, factor, s.x, s.loads, s.ld);
    energy(p.nt, s.as, s.ld.force, s.x, s.g, s.ws);
    int calls = 0;
    bool last_optimal = true;
    while (nlp::norm(n, s.g) > s.maxnorm) {
      if (calls == maxcalls) {
        // The shape keeps moving under its follower loads: give the step up.
        if (last_optimal) std::fputs(not_attained_line(major).c_str(), out);
        break;
      }
      ++calls;
      nlp::qn_result r = minimise(p.nt, s.as, p.search, p.st, s.maxnorm, s.ld.force, s.x, s.g, s.ws);
      progress_iteration(r.minor, nlp::norm(n, s.g), s.maxnorm);
      last_optimal = r.optimal;
      std::fputs(r.optimal ? major_line(major, r.minor).c_str() : not_attained_line(major).c_str(), out);
      std::fflush(out);
      setforce(p.nt, s.as.d, p.load.pressure, factor, s.x, s.loads, s.ld);
      energy(p.nt, s.as, s.ld.force, s.x, s.g, s.ws);
    }
    double reached = nlp::norm(n, s.g);
    if (!std::isfinite(reached))
      throw failure(exit_solution, "the gradient is not finite at load step " + std::to_string(major) + "; no output written");
    if (reached > s.maxnorm) {
      std::string line = unconverged_line("load step " + std::to_string(major), "largest gradient component", reached, s.maxnorm);
      if (major == p.st.maxmajor) end.unconverged = line;
      else end.unsettled.push_back(line);
    }
    progress_step_end(reached, s.maxnorm);
  }
  return end;
}

void run3(const run_options& opts) {
  run_program(program::domica_3, opts, start3, [](const problem& p, state3& s) { return solve3(p, s); });
}

}  // namespace domica
