// The two parameter records of a problem (solver parameters; material and
// loads) as every reader takes them: the values in the order of the
// program's weblar.txt blocks, each checked as it is taken, with the same
// messages. The readers differ only in where the values come from and where
// a failure points: weblar.txt's lines (io/input.cpp) or named values of a
// caller's tables (io/arrays.cpp).
//
// Reader r: r.real(name) and r.steps(name) (a count, at least 0) give the
// next value; fail(message) ends the reading with an input failure there.
#pragma once

#include <string>

#include "model/failure.h"
#include "model/problem.h"

namespace domica {

template <class Reader, class Fail>
void solver_values(problem& p, Reader& r, Fail fail) {
  if (p.variant != program::domica_2) {
    p.search.lstol = r.real("lstol");
    if (!(p.search.lstol > 0.0)) fail("the line-search tolerance lstol must be greater than 0, found " + exact(p.search.lstol));
    p.search.maxls = r.steps("maxls");
  }
  p.st.mntol = r.real("mntol");
  if (!(p.st.mntol >= 0.0)) fail("the tolerance mntol must not be negative, found " + exact(p.st.mntol));
  p.st.maxminor = r.steps("maxminor");
  if (p.variant != program::domica_1) p.st.maxmajor = r.steps("maxmajor");
  if (p.variant != program::domica_2) p.search.maxlist = r.steps("maxlist");
}

template <class Reader, class Fail>
void material_values(problem& p, Reader& r, Fail fail) {
  p.mat.young = r.real("young");
  if (!(p.mat.young > 0.0)) fail("Young's modulus young must be greater than 0, found " + exact(p.mat.young));
  p.mat.poisson = r.real("poisson");
  // Plane-stress coefficients are finite and positive definite for -1 < poisson <= 0.5.
  if (!(p.mat.poisson > -1.0 && p.mat.poisson <= 0.5))
    fail("Poisson's ratio poisson must lie in -1 < poisson <= 0.5, found " + exact(p.mat.poisson));
  p.mat.thickness = r.real("thickness");
  if (!(p.mat.thickness > 0.0)) fail("the thickness must be greater than 0, found " + exact(p.mat.thickness));
  switch (p.variant) {
    case program::domica_3:
      p.load.weight = r.real("density");
      p.load.pressure = r.real("pressure");
      break;
    case program::domica_1:
      p.load.weight = r.real("maxweight");
      break;
    case program::domica_2:
      p.load.weight = r.real("maxweight");
      p.load.pressure = r.real("maxpressure");
      break;
  }
}

}  // namespace domica
