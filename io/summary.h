// The designer's summary of a found shell, a few lines for standard error:
// the rise and its ratio to the plan span, the largest tension and the
// largest compression with their triangles, the share of the surface in
// compression, and a plain statement whether any part is in tension (a
// concrete shell should have none).
#pragma once

#include <string>

#include "model/problem.h"
#include "model/surface.h"
#include "mechanics/forces.h"

namespace domica {

// Inputs:
//   nt  the net: nn plan nodes (xo, yo), ne triangles, nn x 3 fixed flags
//   sf  the found surface: nn x 3 positions
//   f   ne triangle forces
// Returns the lines, each ending in a line break.
//
// The rise is the highest minus the lowest z of all nodes, supports
// included (the lowest free node would move with the fineness of the net);
// the plan span is the longer side of the plan's bounding box. Compression
// is where no principal force is a tension.
std::string summary_text(const net& nt, const surface& sf, const membrane_forces& f);

// The figures of that summary, for a caller that shows them its own way
// (same inputs; triangles numbered 1..ne, 0 for none).
struct shell_summary {
  double top = 0.0, bottom = 0.0;  // highest and lowest z of all nodes
  double rise = 0.0, span = 0.0;
  int most = 0;                    // the triangle of the largest n1 ...
  bool tension = false;            // ... and whether that n1 is a tension
  int least = 0;                   // the triangle of the smallest n2 ...
  bool compression = false;        // ... and whether that n2 is a compression
  int stretched = 0;               // triangles in tension
  double area = 0.0, compressed = 0.0, stretched_area = 0.0;  // found areas: all, in compression, in tension
};
shell_summary summarise(const net& nt, const surface& sf, const membrane_forces& f);

}  // namespace domica
