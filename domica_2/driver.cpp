#include "domica_2/driver.h"

#include <chrono>
#include <cstdio>
#include <cmath>
#include <string>
#include <variant>

#include "mechanics/structure.h"
#include "model/failure.h"
#include "numerics/band.h"
#include "numerics/dense.h"
#include "numerics/norm.h"
#include "numerics/sparse.h"
#include "solve/lines.h"

namespace domica {

namespace {

bool finite_all(int n, const fmat1& v) {
  for (int k = 1; k <= n; ++k)
    if (!std::isfinite(v(k))) return false;
  return true;
}

// A run whose final largest out-of-balance force is above that of the full
// load on the flat plan has run away: its shape balances less of the load
// than no shape at all, and nothing is written. (Within a step the first
// Newton iterates from the flat plan overshoot by far more and still
// converge, so only the end is judged so.)
constexpr double runaway = 1.0;

std::string printed(const char* format, double a, double b) {
  char buf[96];
  std::snprintf(buf, sizeof buf, format, a, b);
  return buf;
}

template <class Tangent>
outcome newton(const problem& p, state2& s, Tangent& tangent, progress& pr) {
  outcome end;
  // The flat plan is unstrained, so its out-of-balance at the start of the
  // first step is that step's share of the loads: maxmajor times it is the
  // largest out-of-balance of the full load on the plan, the scale the final
  // state is judged against (each step's own target refers to its start,
  // which after a failed step may be far from the load).
  double full = 0.0;
  const int n = s.as.d.n;
  fmat1 force(n), r(n);
  fmat1& x = s.x;
  x.fill(0.0);
  pr.run(progress_kind::newton_iterations, p.st.maxmajor, p.st.maxminor);
  for (int major = 1; major <= p.st.maxmajor; ++major) {
    pr.step(major);
    double factor = static_cast<double>(major) / static_cast<double>(p.st.maxmajor);
    for (int glob = 1; glob <= p.nt.nn; ++glob)
      for (int axis = 1; axis <= 3; ++axis) {
        int k = s.as.d.index(glob, axis);
        if (k <= n) force(k) = factor * s.loads(glob, axis);
      }
    double pressure = factor * p.load.pressure;
    structure(p.nt, s.as, pressure, force, x, r, tangent);
    if (!finite_all(n, r))
      throw failure(exit_solution, "the out-of-balance forces are not finite at the start of load step " + std::to_string(major) +
                                       "; no output written");
    const double begun = nlp::norm(n, r);
    if (major == 1) full = begun * static_cast<double>(p.st.maxmajor);
    double maxnorm = begun * p.st.mntol;
    int minor = 0;
    while (minor < p.st.maxminor && nlp::norm(n, r) > maxnorm) {
      minor = minor + 1;
      // Only a failure needs the words, so they are made only then.
      auto where = [&] { return "at load step " + std::to_string(major) + ", iteration " + std::to_string(minor); };
      linear_status solved = tangent.solve(r);
      if (!solved.ok()) {
        std::string why = "the tangent is singular " + where() +
                          (solved.code == linear_status::zero_pivot ? " (zero pivot in column " + std::to_string(solved.column) + ")"
                                                                    : " (sparse factorisation)");
        if (major == 1 && minor == 1 && p.load.pressure == 0.0)
          why += ": the net has no pressure, so nothing resists the first vertical motion of the flat net"
                 " (domica_1 or domica_3 find such forms)";
        throw failure(exit_solution, why + "; no output written");
      }
      if (!finite_all(n, r))
        throw failure(exit_solution, "the Newton correction is not finite " + where() + "; no output written");
      for (int i = 1; i <= n; ++i) x(i) = x(i) - r(i);
      if (!finite_all(n, x))
        throw failure(exit_solution, "the displacements are not finite " + where() + "; no output written");
      structure(p.nt, s.as, pressure, force, x, r, tangent);
      if (!finite_all(n, r))
        throw failure(exit_solution, "the out-of-balance forces are not finite " + where() + "; no output written");
      pr.iteration(1, nlp::norm(n, r), maxnorm);
    }
    double reached = nlp::norm(n, r);
    pr.step_end(reached, maxnorm);
    pr.line(reached > maxnorm ? not_attained_line(major) : major_line(major, minor));
    if (reached > maxnorm) {
      std::string line = unconverged_line("load step " + std::to_string(major), "largest out-of-balance force", reached, maxnorm);
      if (major == p.st.maxmajor) end.unconverged = line;
      else end.unsettled.push_back(line);
    }
  }
  if (p.st.maxmajor == 0) return end;
  // The final state against the full load: a step judged against its own
  // start can pass far from equilibrium, and a step that ended above its
  // target leaves the later ones on a shape off the load path.
  const double reached = nlp::norm(n, r), target = full * p.st.mntol;
  if (reached > runaway * full)
    throw failure(exit_solution, "the solution diverged: the final largest out-of-balance force " +
                                     printed("%.2g is %.2g times", reached, reached / full) +
                                     " that of the full load on the plan; no output written (more load steps, maxmajor, may follow the load)");
  char line[160];
  std::snprintf(line, sizeof line, "Against the full load: out-of-balance %.2e (target %.2e, mntol times the flat plan's %.3g), %s",
                reached, target, full, reached <= target ? "met" : "NOT met");
  end.full_load = line;
  if (end.unconverged.empty() && reached > target)
    end.unconverged = "the final state is above the target against the full load: largest out-of-balance force " +
                      printed("%.1e, target %.1e", reached, target);
  if (end.unconverged.empty() && !end.unsettled.empty())
    end.unconverged = end.unsettled.front() + ", and the later steps started from its shape";
  return end;
}

}  // namespace

outcome solution(const problem& p, state2& s, progress& pr, linear_kind solver) {
  const int n = s.as.d.n;
  int band = bandwidth(p.nt, s.as.d);
  tangent_choice c = make_tangent(solver, n, band, [&] { return coupling(p.nt, s.as.d); });
  pr.note("tangent of " + std::to_string(n) + " unknowns, bandwidth " + std::to_string(band) + ": " + c.what);
  return std::visit([&](auto& tangent) { return newton(p, s, *tangent, pr); }, c.tangent);
}

solution_result solve_domica_2(const problem& p, const solve_options& opts, observer& obs) {
  state2 s = start2(p);
  obs.started();
  progress pr(obs);
  if (p.st.maxmajor == 0) pr.warning("maxmajor is 0: no load step was made, the results show the plan");
  auto clock1 = std::chrono::steady_clock::now();
  outcome end = solution(p, s, pr, opts.solver);
  return make_result(p, s.as, s.x, opts, std::move(end), pr.counts, seconds_since(clock1));
}

}  // namespace domica
