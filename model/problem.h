// The records of a problem as weblar.txt gives it. The reader fills them once;
// every later step takes them as const.
//
// The three programs read different parameter blocks; a value a program does
// not read keeps the default given here, which is the meaning it has for that
// program (domica_1 makes one "load step"; domica_2 has no prescribed
// displacements, so known stays zero).
#pragma once

#include "model/array.h"

namespace domica {

enum class program { domica_1, domica_2, domica_3 };

// The plan net: nodes, triangles and their supports and point loads.
struct net {
  int nn = 0;                          // nodes
  int ne = 0;                          // triangles
  fmat1 xo, yo;                        // nn plan coordinates
  arr1<fixed1<std::int32_t, 3>> tri;   // ne corner node numbers, in the order of the input
  imat2 fixed;                         // nn x 3: 1 where the coordinate is prescribed, else 0
  fmat2 known;                         // nn x 3: prescribed displacement of a fixed coordinate (0 elsewhere)
  fmat2 point;                         // nn x 3: point loads
};

// Linear plane-stress material of the membrane.
struct material {
  double young = 0.0;
  double poisson = 0.0;
  double thickness = 0.0;
};

// Distributed loads: weight per unit volume (acting in -z; density in
// domica_3, maxweight in the others) and the pressure on the current surface
// (pressure, maxpressure; none in domica_1).
struct loading {
  double weight = 0.0;
  double pressure = 0.0;
};

// Convergence and load stepping.
struct steps {
  double mntol = 0.0;  // relative tolerance on the gradient (or out-of-balance) norm
  int maxminor = 0;    // minimiser iterations per call (Newton iterations per step)
  int maxmajor = 1;    // load steps
};

// Line search and limited-memory list of the minimising programs.
struct search_params {
  double lstol = 0.9;  // curvature tolerance, > 0
  int maxls = 10;      // interpolation steps per line search
  int maxlist = 8;     // correction pairs kept
};

// Twice the signed plan area of the triangle with the given plan corners;
// positive when the corners run anticlockwise seen from above.
inline double plan_aux(double x1, double y1, double x2, double y2, double x3, double y3) {
  return (x2 - x1) * (y3 - y1) - (y2 - y1) * (x3 - x1);
}

// Whether `pressure` lifts the net: a negative one lifts triangles whose
// corners run anticlockwise seen from above, a positive one clockwise ones.
// Triangle 1 gives the order (the reader refuses a net of mixed order under a
// pressure).
inline bool pressure_lifts(const net& nt, double pressure) {
  if (pressure == 0.0 || nt.ne == 0) return false;
  const auto& t = nt.tri(1);
  double a = plan_aux(nt.xo(t(1)), nt.yo(t(1)), nt.xo(t(2)), nt.yo(t(2)), nt.xo(t(3)), nt.yo(t(3)));
  return a > 0.0 ? pressure < 0.0 : pressure > 0.0;
}

// "domica_1", "domica_2" or "domica_3".
const char* program_name(program variant);

struct problem {
  program variant = program::domica_3;
  net nt;
  material mat;
  loading load;
  steps st;
  search_params search;
};

}  // namespace domica
