// The model state of a run. The driver of each program owns one record and
// hands it by reference to every routine; no routine keeps state of its own.
//
// The three programs share the record. Each uses the fields of its own variant:
//   domica_3  pressure loads that follow the shape: density, pressure, ff, fp, force, factor
//   domica_1  fixed loads: maxweight, maxforce (no load steps, no pressure)
//   domica_2  Newton solver: maxweight, maxpressure, maxforce; no known (fixed
//             coordinates stay at their plan position), no optimiser parameters
#pragma once

#include <chrono>

#include "common/terms.h"

namespace domica {

enum class program { domica_1, domica_2, domica_3 };

struct model {
  program variant = program::domica_3;

  // Sizes.
  int nn = 0;  // nodes
  int ne = 0;  // triangles
  int n = 0;   // free coordinates (unknowns)

  // Solver parameters.
  double lstol = 0.0;    // line-search curvature tolerance
  int maxls = 0;         // interpolation steps per line search
  double mntol = 0.0;    // relative tolerance on the gradient (or out-of-balance) norm
  int maxminor = 0;      // minimiser iterations per call (Newton iterations per step in domica_2)
  int maxmajor = 0;      // load steps
  int maxlist = 0;       // correction pairs kept by the limited-memory minimiser
  double maxnorm = 0.0;  // absolute gradient threshold
  int minor = 0;         // iterations used by the last minimiser call
  double f = 0.0;        // last value of the objective

  // Material and loads.
  double young = 0.0, poisson = 0.0, thickness = 0.0;
  double density = 0.0, pressure = 0.0;        // domica_3
  double maxweight = 0.0, maxpressure = 0.0;   // domica_1, domica_2
  double factor = 0.0;                         // load factor of the current step
  double hooke11 = 0.0, hooke12 = 0.0, hooke21 = 0.0, hooke22 = 0.0, hooke33 = 0.0;

  // Coordinates: after input 0 (free) or 1 (fixed); after start the coordinate
  // number, 1..n for free ones and n+1..3nn for fixed ones.
  imat2 index;
  fmat1 x, g;     // displacements of the free coordinates and the gradient
  fmat1 xo, yo;   // plan coordinates
  fmat2 known;    // prescribed displacements of fixed coordinates (absent in domica_2)
  fmat2 ff, fp, force;  // domica_3: fixed loads, full pressure loads, loads of the step
  fmat2 maxforce;       // domica_1, domica_2: point loads plus self-weight at full load
  fmat2 outward;        // unit normal of the final surface at each node
  cst_vec cst;          // the triangles

  std::chrono::steady_clock::time_point clock1{};
};

}  // namespace domica
