#include "domica_1/driver.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "model/failure.h"
#include "io/format.h"
#include "model/outcome.h"
#include "app/progress.h"
#include "mechanics/energy.h"
#include "solve/minimise.h"
#include "app/run.h"
#include "numerics/norm.h"

namespace domica {

state1 start1(const problem& p, int threads) {
  state1 s;
  static_cast<net_state&>(s) = prepare(p);
  s.ws = energy_workspace(threads > 0 ? threads : default_energy_threads(p.nt.ne));
  s.g = fmat1(s.as.d.n);
  energy(p.nt, s.as, s.loads, s.x, s.g, s.ws);
  double start = nlp::norm(s.as.d.n, s.g);
  if (!std::isfinite(start)) throw failure(exit_solution, "the gradient at the plan is not finite; no output written");
  s.maxnorm = p.st.mntol * start;
  return s;
}

nlp::qn_result solve1(const problem& p, state1& s) {
  progress_run(progress_kind::line_searches, 1);
  progress_step(1);
  nlp::qn_result r = minimise(p.nt, s.as, p.search, p.st, s.maxnorm, s.loads, s.x, s.g, s.ws);
  progress_iteration(r.minor, nlp::norm(s.as.d.n, s.g), s.maxnorm);
  progress_step_end(nlp::norm(s.as.d.n, s.g), s.maxnorm);
  return r;
}

void run1(const run_options& opts) {
  run_program(program::domica_1, opts, start1, [](const problem& p, state1& s) {
    nlp::qn_result r = solve1(p, s);
    std::string out = r.optimal ? "Optimal\n" : "NOT Optimal\n";
    out += "Minor = ";
    put_int(out, r.minor, 5);
    out += '\n';
    std::fputs(out.c_str(), stdout);
    outcome end;
    if (!r.optimal)
      end.unconverged = unconverged_line("the minimisation", "largest gradient component",
                                         nlp::norm(s.as.d.n, s.g), s.maxnorm);
    return end;
  });
}

}  // namespace domica
