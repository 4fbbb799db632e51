// The found surface: node positions, the frame of every triangle and the
// normal at every node. Made once at the end of a solution; the writers take
// it as const.
#pragma once

#include "model/number.h"
#include "model/problem.h"

namespace domica {

// Right-handed unit frame of one triangle on the found surface.
struct frame {
  fvec3x1 u{};  // first in-plane axis, in a vertical x-z plane
  fvec3x1 v{};  // second in-plane axis
  fvec3x1 w{};  // normal, to the side from which the corners run anticlockwise
};

struct surface {
  fmat2 pos;          // nn x 3 node positions
  arr1<frame> tri;    // ne frames
  fmat2 outward;      // nn x 3 unit node normals
};

// Position of node glob: plan position plus x for free coordinates and known
// for fixed ones.
// Inputs:
//   nt, d  the net and its numbering
//   x      d.n displacements of the free coordinates
// Output:
//   vx     the position
void vertex(const net& nt, const numbering& d, const fmat1& x, int glob, fvec3x1& vx);

// The found surface at the displacements x (d.n entries). Every triangle gets
// its frame and every node the normalised sum of the normals of the triangles
// that meet there.
//
// Where the rules have no direction to offer, defined values are stored
// instead of 0/0: a triangle whose normal is parallel to global y takes global
// x as its first axis; a triangle of zero area on the found surface takes the
// global frame; a node whose normals sum to zero (in no triangle, or normals
// that cancel) takes the upward normal (0, 0, 1).
//
// A shape with a non-finite node position is a failed solution: nothing may
// be written from it.
surface make_surface(const net& nt, const numbering& d, const fmat1& x);

}  // namespace domica
