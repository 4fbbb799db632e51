// Total potential energy of the membrane net and its exact gradient with the
// loads held constant: constant-strain triangles, Green-Lagrange strains
// against the flat plan, linear plane-stress material. The objective of
// domica_3 (loads of the step) and of domica_1 (fixed loads).
#pragma once

#include "model/problem.h"
#include "mechanics/setup.h"

namespace domica {

// Energy at the displacements x of the free coordinates under the nodal loads
// `force`; fixed coordinates stand at their prescribed displacements.
// Inputs:
//   nt     the net (corners, known)
//   as     numbering, plan data, coefficients
//   force  nn x 3 nodal loads
//   x      as.d.n displacements
// Output:
//   g      as.d.n gradient (every entry written)
// Returns the energy.
//
// Eight triangles at a time go through the vector lanes (membrane/lanes.h),
// with the widest instruction set the processor runs; on a large net the
// blocks are shared among the threads of energy_pool() (membrane/pool.h),
// each thread computing one range of blocks and summing its nodes, reading
// only the few forces along the next cut from the thread after it
// (membrane/share.h); the cuts follow how fast the threads actually run. Where
// the triangles' order would make the threads wait for many blocks of each
// other, they meet once instead, between the blocks and the sums. Every sum
// is still formed in triangle order, so the result is the plain loop's
// (energy_plain) to the last bit.
double energy(const net& nt, const assembly& as, const fmat2& force, const fmat1& x, fmat1& g);

// The buffers and worker threads of the energy evaluations of one solution.
class energy_workspace {
 public:
  explicit energy_workspace(int threads = 1) : threads_(threads) {}
  int threads() const { return threads_; }

 private:
  int threads_;
};
int default_energy_threads(int ne);
double energy(const net& nt, const assembly& as, const fmat2& force, const fmat1& x, fmat1& g, energy_workspace& ws);

// The same with a chosen instruction set (one the processor runs).
double energy_lanes(const net& nt, const assembly& as, const fmat2& force, const fmat1& x, fmat1& g, lane_set set);

// The same, one triangle after the other on the calling thread.
double energy_plain(const net& nt, const assembly& as, const fmat2& force, const fmat1& x, fmat1& g);

}  // namespace domica
