// Fuzz target of the weblar.txt reader. The first byte picks the program
// whose layout is read; an accepted file is then set up, evaluated once and
// written to text, so that whatever the reader lets through is safe for the
// inner loops (bounds are checked in this build).
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/autocad.h"
#include "common/failure.h"
#include "common/geometry.h"
#include "common/input.h"
#include "common/setup.h"
#include "common/text.h"
#include "domica_2/element.h"
#include "domica_3/objective.h"
#include "domica_3/setforce.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  domica::model m;
  m.variant = data[0] % 3 == 0 ? domica::program::domica_1 : data[0] % 3 == 1 ? domica::program::domica_2 : domica::program::domica_3;
  domica::text_file t;
  t.name = "weblar.txt";
  t.data.assign(reinterpret_cast<const char*>(data + 1), size - 1);
  try {
    domica::input(m, t);
    // Keep the work per input small: the nets of a fuzz input are tiny anyway.
    if (m.nn > 2000 || m.ne > 2000) return 0;
    domica::number(m);
    domica::plan(m);
    domica::coefficients(m);
    m.x = domica::fmat1(1, m.n);
    m.x.fill(0.01);
    m.g = domica::fmat1(1, m.n);
    if (m.variant == domica::program::domica_3) {
      domica::selfweight(m, m.density, m.ff);
      m.fp = domica::fmat2(1, m.nn, 1, 3);
      m.force = domica::fmat2(1, m.nn, 1, 3);
      domica::setforce(m, 1.0, m.x);
      domica::energy(m, m.force, m.n, m.x, m.g);
    } else if (m.variant == domica::program::domica_1) {
      domica::selfweight(m, m.maxweight, m.maxforce);
      domica::energy(m, m.maxforce, m.n, m.x, m.g);
    } else {
      domica::fvec9x1 re;
      domica::fmat9x9 se;
      for (int e = 1; e <= m.ne; ++e) domica::element(m, e, m.maxpressure, m.x, re, se);
    }
    domica::finish(m);
    std::string text = domica::autocad_text(m);
    (void)text;
  } catch (const domica::failure&) {
    // Rejected input: the reader's job done.
  }
  return 0;
}
