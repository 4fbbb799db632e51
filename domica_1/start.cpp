#include "domica_1/start.h"

#include "common/ansys.h"
#include "common/format.h"
#include "common/input.h"
#include "common/report.h"
#include "common/results.h"
#include "common/setup.h"
#include "domica_3/driver.h"
#include "domica_3/objective.h"
#include "nlp/norm.h"

namespace domica {

double objective1(const model& m, int n, const fmat1& x, fmat1& g) { return energy(m, m.maxforce, n, x, g); }

void start1(model& m) {
  number(m);
  plan(m);
  selfweight(m, m.maxweight, m.maxforce);
  coefficients(m);
  m.x = fmat1(1, m.n);
  m.x.fill(0.0);
  m.g = fmat1(1, m.n);
  m.f = objective1(m, m.n, m.x, m.g);
  m.maxnorm = m.mntol * nlp::norm(m.n, m.g);
}

nlp::qn_result solve1(model& m) {
  auto bound = [&m](int n, const fmat1& x, fmat1& g) { return objective1(m, n, x, g); };
  nlp::qn<decltype(bound)> engine{bound};
  nlp::qn_result r = engine.run_lbfgs(m.maxlist, m.n, m.maxminor, m.maxls, m.maxnorm, m.lstol, m.x, m.g);
  m.minor = r.minor;
  m.f = r.f;
  return r;
}

void run1() {
  model m;
  m.variant = program::domica_1;
  // 1. Read the problem and the shell data (both checked before any work).
  input(m);
  shell_rec shell = read_shell();
  // 2. Set up the net at its plan shape under its fixed loads.
  start1(m);
  // 3. One minimisation.
  m.clock1 = std::chrono::steady_clock::now();
  nlp::qn_result r;
  try {
    r = solve1(m);
  } catch (const nlp::halt&) {
    throw no_descent();
  }
  // 4. Report.
  std::string out = r.optimal ? "Optimal\n" : "NOT Optimal\n";
  out += "Minor = ";
  put_int(out, r.minor, 5);
  out += '\n';
  std::fputs(out.c_str(), stdout);
  print_elapsed(seconds_since(m.clock1));
  // 5. Write the results.
  write_results(m, shell);
}

}  // namespace domica
