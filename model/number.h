// Numbering of the unknowns: the free coordinates of the net.
#pragma once

#include <vector>

#include "model/problem.h"

namespace domica {

struct numbering {
  int n = 0;     // free coordinates (unknowns)
  imat2 index;   // nn x 3: free coordinates 1..n, fixed ones n+1..3nn
};

// Free ones 1..n, fixed ones n+1..3nn, both in node order and x, y, z within a node.
// Inputs:
//   nt.fixed  nn x 3 flags
// Returns the count n and the index of every coordinate.
numbering number(const net& nt);

// Lower (and, the tangent's pattern being symmetric, upper) bandwidth of the
// tangent: the largest |i - j| over two free coordinates of one triangle;
// 0 when no triangle couples two unknowns.
int bandwidth(const net& nt, const numbering& d);

// Pattern of the tangent: for each unknown j (d.n lists), the unknowns i
// that share a triangle with it, ascending, j among them.
std::vector<std::vector<int>> coupling(const net& nt, const numbering& d);

// The displacement of coordinate (glob, axis): x for a free one, the
// prescribed value for a fixed one. x has d.n entries.
inline double displacement(const net& nt, const numbering& d, const fmat1& x, int glob, int axis) {
  int i = d.index(glob, axis);
  return i <= d.n ? x(i) : nt.known(glob, axis);
}

// The displacements of the corners of triangle e: xe[loc - 1][axis - 1].
inline void corner_displacements(const net& nt, const numbering& d, const fmat1& x, int e, double xe[3][3]) {
  for (int loc = 1; loc <= 3; ++loc)
    for (int axis = 1; axis <= 3; ++axis) xe[loc - 1][axis - 1] = displacement(nt, d, x, nt.tri(e)(loc), axis);
}

}  // namespace domica
