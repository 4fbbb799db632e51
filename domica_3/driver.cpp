#include "domica_3/driver.h"

#include "common/ansys.h"
#include "common/input.h"
#include "common/report.h"
#include "common/results.h"
#include "domica_3/objective.h"
#include "domica_3/setforce.h"
#include "domica_3/start.h"
#include "nlp/norm.h"
#include "nlp/qn.h"

namespace domica {

void solve3(model& m, std::FILE* out, int maxcalls) {
  auto bound = [&m](int n, const fmat1& x, fmat1& g) { return objective(m, n, x, g); };
  nlp::qn<decltype(bound)> engine{bound};
  for (int major = 1; major <= m.maxmajor; ++major) {
    m.factor = static_cast<double>(major) / static_cast<double>(m.maxmajor);
    setforce(m, m.factor, m.x);
    m.f = objective(m, m.n, m.x, m.g);
    int calls = 0;
    bool last_optimal = true;
    while (nlp::norm(m.n, m.g) > m.maxnorm) {
      if (calls == maxcalls) {
        // The shape keeps moving under its follower loads: give the step up.
        if (last_optimal) std::fputs(not_attained_line(major).c_str(), out);
        break;
      }
      ++calls;
      nlp::qn_result r = engine.run_lbfgs(m.maxlist, m.n, m.maxminor, m.maxls, m.maxnorm, m.lstol, m.x, m.g);
      m.minor = r.minor;
      m.f = r.f;
      last_optimal = r.optimal;
      std::fputs(r.optimal ? major_line(major, m.minor).c_str() : not_attained_line(major).c_str(), out);
      std::fflush(out);
      setforce(m, m.factor, m.x);
      m.f = objective(m, m.n, m.x, m.g);
    }
  }
}

failure no_descent() {
  return failure(exit_solution, "the minimiser found no descent direction (Line Search Failure); no output written");
}

void run3() {
  model m;
  m.variant = program::domica_3;
  // 1. Read the problem and the shell data (both checked before any work).
  input(m);
  shell_rec shell = read_shell();
  // 2. Set up the net at its plan shape.
  start3(m);
  // 3. Find the form in load steps.
  m.clock1 = std::chrono::steady_clock::now();
  try {
    solve3(m);
  } catch (const nlp::halt&) {
    throw no_descent();
  }
  print_elapsed(seconds_since(m.clock1));
  // 4. Write the results.
  write_results(m, shell);
}

}  // namespace domica
