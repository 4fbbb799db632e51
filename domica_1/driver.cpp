#include "domica_1/driver.h"

#include <chrono>
#include <cstdio>

#include "common/format.h"
#include "common/input.h"
#include "common/report.h"
#include "common/results.h"
#include "membrane/energy.h"
#include "membrane/minimise.h"
#include "nlp/norm.h"

namespace domica {

state1 start1(const problem& p) {
  state1 s;
  s.as = setup(p);
  s.force = fixed_loads(p, s.as);
  s.x = fmat1(s.as.d.n);
  s.g = fmat1(s.as.d.n);
  energy(p.nt, s.as, s.force, s.x, s.g);
  s.maxnorm = p.st.mntol * nlp::norm(s.as.d.n, s.g);
  return s;
}

nlp::qn_result solve1(const problem& p, state1& s) {
  return minimise(p.nt, s.as, p.search, p.st, s.maxnorm, s.force, s.x, s.g);
}

void run1() {
  // 1. Read the problem and the shell data (both checked before any work).
  problem p = input(program::domica_1);
  shell_rec shell = read_shell();
  // 2. Set up the net at its plan shape under its fixed loads.
  state1 s = start1(p);
  // 3. One minimisation.
  auto clock1 = std::chrono::steady_clock::now();
  nlp::qn_result r = solve1(p, s);
  // 4. Report.
  std::string out = r.optimal ? "Optimal\n" : "NOT Optimal\n";
  out += "Minor = ";
  put_int(out, r.minor, 5);
  out += '\n';
  std::fputs(out.c_str(), stdout);
  print_elapsed(seconds_since(clock1));
  // 5. Write the results.
  write_results(p.nt, make_surface(p.nt, s.as.d, s.x), shell);
}

}  // namespace domica
