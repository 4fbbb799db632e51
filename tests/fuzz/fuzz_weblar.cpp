// Fuzz target of the weblar.txt reader. The first byte picks the program
// whose layout is read; an accepted file is then set up, evaluated once and
// written to text, so that whatever the reader lets through is safe for the
// inner loops (bounds are checked in this build).
#include <cstddef>
#include <cstdint>
#include <string>

#include "io/autocad.h"
#include "model/failure.h"
#include "io/input.h"
#include "model/support_check.h"
#include "model/surface.h"
#include "io/text.h"
#include "mechanics/tangent.h"
#include "mechanics/setforce.h"
#include "mechanics/energy.h"
#include "mechanics/setup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace domica;
  if (size == 0) return 0;
  program variant = data[0] % 3 == 0 ? program::domica_1 : data[0] % 3 == 1 ? program::domica_2 : program::domica_3;
  text_file t;
  t.name = "weblar.txt";
  t.data.assign(reinterpret_cast<const char*>(data + 1), size - 1);
  try {
    problem p = input(variant, t);
    check_supports(p);
    // Keep the work per input small: the nets of a fuzz input are tiny anyway.
    if (p.nt.nn > 2000 || p.nt.ne > 2000) return 0;
    assembly as = setup(p);
    check_finite(p, as, fixed_loads(p, as));
    fmat1 x(as.d.n), g(as.d.n);
    x.fill(0.01);
    if (variant == program::domica_2) {
      fvec9x1 re;
      fmat9x9 se;
      for (int e = 1; e <= p.nt.ne; ++e) element(p.nt, as, e, p.load.pressure, x, re, se);
    } else {
      loads3 ld{fmat2(p.nt.nn, 3), fmat2(p.nt.nn, 3)};
      setforce(p.nt, as.d, p.load.pressure, 1.0, x, fixed_loads(p, as), ld);
      energy_workspace ws;
      energy(p.nt, as, ld.force, x, g, ws);
    }
    std::string text = autocad_text(p.nt, make_surface(p.nt, as.d, x));
    (void)text;
  } catch (const failure&) {
    // Rejected input: the reader's job done.
  }
  return 0;
}
