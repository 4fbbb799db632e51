// Final geometry of the found surface: node positions, element frames and
// node normals, shared by all three programs and read by the writers.
#pragma once

#include "common/model.h"

namespace domica {

// Position of node glob: plan position plus x for free coordinates and, when
// the model has prescribed displacements (not in domica_2), known for fixed ones.
void vertex(const model& m, int glob, fvec3x1& vx);

// Give every triangle its right-handed unit frame u, v, w on the final surface
// (u in a vertical x-z plane, w the normal to the side from which the corners
// run anticlockwise) and every node its unit normal `outward`, the normalised
// sum of the normals of the triangles that meet there.
//
// Where the rules have no direction to offer, defined values are stored
// instead of 0/0: a triangle whose normal is parallel to global y takes global
// x as its first axis; a triangle of zero area on the final surface takes the
// global frame; a node whose normals sum to zero (in no triangle, or normals
// that cancel) takes the upward normal (0, 0, 1).
//
// A shape with a non-finite node position is a failed solution: nothing may
// be written from it.
void finish(model& m);

}  // namespace domica
