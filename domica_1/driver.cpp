#include "domica_1/driver.h"

#include <chrono>
#include <cmath>
#include <string>

#include "model/failure.h"
#include "model/format.h"
#include "model/outcome.h"
#include "numerics/norm.h"
#include "solve/lines.h"
#include "solve/minimise.h"

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

nlp::qn_result solve1(const problem& p, state1& s, progress& pr, newton_state* nw) {
  pr.run(progress_kind::line_searches, 1);
  pr.step(1);
  nlp::qn_result r = minimise(p.nt, s.as, p.search, p.st, s.maxnorm, s.loads, s.x, s.g, s.ws, pr, nw);
  no_step_from_the_start(r);
  pr.iteration(r.minor, nlp::norm(s.as.d.n, s.g), s.maxnorm);
  pr.step_end(nlp::norm(s.as.d.n, s.g), s.maxnorm);
  return r;
}

solution_result solve_domica_1(const problem& p, const solve_options& opts, observer& obs) {
  state1 s = start1(p, opts.threads);
  if (const fmat1* from = start_shape(opts, s.as.d.n)) s.x = *from;
  obs.started();
  progress pr(obs);
  if (p.st.maxminor == 0) pr.warning("maxminor is 0: each minimiser call still makes its first line search");
  warn_short_of_threads(pr, opts.threads > 0 ? opts.threads : default_energy_threads(p.nt.ne), s.ws.threads());
  auto clock1 = std::chrono::steady_clock::now();
  newton_state nw;
  const bool newton = opts.method == minimiser::newton;
  nlp::qn_result r = solve1(p, s, pr, newton ? &nw : nullptr);
  if (newton) pr.note(newton_note(nw));
  std::string out = r.optimal ? "Optimal\n" : "NOT Optimal\n";
  out += "Minor = ";
  put_int(out, r.minor, 5);
  out += '\n';
  pr.line(out);
  outcome end;
  if (r.halted)
    end.unconverged = halt_line(p.st, nlp::norm(s.as.d.n, s.g), s.maxnorm, newton);
  else if (!r.optimal)
    end.unconverged = unconverged_line("the minimisation", "largest gradient component", nlp::norm(s.as.d.n, s.g), s.maxnorm);
  return make_result(p, s.as, s.x, opts, std::move(end), pr.counts, seconds_since(clock1));
}

}  // namespace domica
