#include "domica_2/driver.h"

#include <cmath>
#include <string>

#include "model/failure.h"
#include "app/progress.h"
#include "app/report.h"
#include "mechanics/structure.h"
#include "app/run.h"
#include "numerics/norm.h"
#include "numerics/band.h"
#include "numerics/dense.h"
#include "numerics/sparse.h"

namespace domica {

namespace {

bool finite_all(int n, const fmat1& v) {
  for (int k = 1; k <= n; ++k)
    if (!std::isfinite(v(k))) return false;
  return true;
}

template <class Tangent>
outcome newton(const problem& p, state2& s, Tangent& tangent, std::FILE* out) {
  outcome end;
  const int n = s.as.d.n;
  fmat1 force(n), r(n);
  fmat1& x = s.x;
  x.fill(0.0);
  progress_run(progress_kind::newton_iterations, p.st.maxmajor);
  for (int major = 1; major <= p.st.maxmajor; ++major) {
    progress_step(major);
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
    double maxnorm = nlp::norm(n, r) * p.st.mntol;
    int minor = 0;
    while (minor < p.st.maxminor && nlp::norm(n, r) > maxnorm) {
      minor = minor + 1;
      // Only a failure needs the words, so they are made only then.
      auto where = [&] { return "at load step " + std::to_string(major) + ", iteration " + std::to_string(minor); };
      int column = tangent.solve(r);
      if (column != 0) {
        std::string why = "the tangent is singular " + where() +
                          (column > 0 ? " (zero pivot in column " + std::to_string(column) + ")" : " (sparse factorisation)");
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
      progress_iteration(1, nlp::norm(n, r), maxnorm);
    }
    double reached = nlp::norm(n, r);
    progress_step_end(reached, maxnorm);
    std::fputs(reached > maxnorm ? not_attained_line(major).c_str() : major_line(major, minor).c_str(), out);
    std::fflush(out);
    if (reached > maxnorm) {
      std::string line = unconverged_line("load step " + std::to_string(major), "largest out-of-balance force", reached, maxnorm);
      if (major == p.st.maxmajor) end.unconverged = line;
      else end.unsettled.push_back(line);
    }
  }
  return end;
}

}  // namespace

outcome solution(const problem& p, state2& s, std::FILE* out, const std::string& solver) {
  const int n = s.as.d.n;
  int band = bandwidth(p.nt, s.as.d);
  // The band storage holds 3 b + 1 numbers a column: beyond n it is no saving.
  bool nearly_full = 3.0 * band + 1 >= n;
  std::string what = "tangent of " + std::to_string(n) + " unknowns, bandwidth " + std::to_string(band) + ": ";
  if (solver == "sparse") {
    progress_note(what + "sparse solver");
    sparse_tangent tangent(n, coupling(p.nt, s.as.d));
    return newton(p, s, tangent, out);
  }
  if (solver == "dense" || nearly_full) {
    progress_note(what + "dense solver" + (solver == "dense" ? "" : " (the band is nearly the whole matrix)"));
    dense_tangent tangent(n);
    return newton(p, s, tangent, out);
  }
  progress_note(what + "band solver");
  band_tangent tangent(n, band);
  return newton(p, s, tangent, out);
}

void run2(const run_options& opts) {
  run_program(program::domica_2, opts, [](const problem& p, int) { return start2(p); }, [&](const problem& p, state2& s) { return solution(p, s, stdout, opts.solver); });
}

}  // namespace domica
