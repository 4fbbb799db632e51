#include "domica_3/start.h"

#include "common/setup.h"
#include "domica_3/objective.h"
#include "domica_3/setforce.h"
#include "nlp/norm.h"

namespace domica {

void start3(model& m) {
  number(m);
  plan(m);
  selfweight(m, m.density, m.ff);
  coefficients(m);
  m.x = fmat1(1, m.n);
  m.x.fill(0.0);
  m.fp = fmat2(1, m.nn, 1, 3);
  m.force = fmat2(1, m.nn, 1, 3);
  m.g = fmat1(1, m.n);
  // The threshold refers to the full load at the initial shape.
  setforce(m, 1.0, m.x);
  m.f = objective(m, m.n, m.x, m.g);
  m.maxnorm = nlp::norm(m.n, m.g) * m.mntol;
}

}  // namespace domica
