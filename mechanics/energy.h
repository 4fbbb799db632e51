// Total potential energy of the membrane net and its exact gradient with the
// loads held constant: constant-strain triangles, Green-Lagrange strains
// against the flat plan, linear plane-stress material. The objective of
// domica_3 (loads of the step) and of domica_1 (fixed loads).
#pragma once

#include <memory>
#include <vector>

#include "model/problem.h"
#include "mechanics/setup.h"

namespace domica {

class worker_pool;

// The buffers and worker threads of the energy evaluations of one solution.
// Each solution keeps its own, so that solutions on different threads of one
// process never meet; a workspace serves one evaluation at a time.
class energy_workspace {
 public:
  explicit energy_workspace(int threads = 1);  // threads >= 1 in all, the calling thread included
  energy_workspace(energy_workspace&&) noexcept;
  energy_workspace& operator=(energy_workspace&&) noexcept;
  ~energy_workspace();
  int threads() const;  // 1 after a move from it

 private:
  friend double energy_lanes(const net& nt, const assembly& as, const fmat2& force, const fmat1& x, fmat1& g, lane_set set,
                             energy_workspace& ws);
  std::vector<double> fe_, ge_;           // the triangles' energies and corner forces, block-laid
  std::vector<std::vector<double>> us_;   // per part: 3 nn displacements
  std::unique_ptr<worker_pool> pool_;     // with 2 threads or more
};

// The thread count a run takes when none is asked for: one below the net size
// (triangles ne) where threads pay on this machine, else the CPUs this process
// may use (sched_getaffinity), at least 1.
int default_energy_threads(int ne);

// Energy at the displacements x of the free coordinates under the nodal loads
// `force`; fixed coordinates stand at their prescribed displacements.
// Inputs:
//   nt     the net (corners, known)
//   as     numbering, plan data, coefficients
//   force  nn x 3 nodal loads
//   x      as.d.n displacements
//   ws     the solution's workspace (its buffers are overwritten)
// Output:
//   g      as.d.n gradient (every entry written)
// Returns the energy.
//
// Eight triangles at a time go through the vector lanes (mechanics/lanes.h),
// with the widest instruction set the processor runs. On a large net with a
// workspace of several threads (mechanics/pool.h) each thread computes one
// range of blocks; once all are done, each sums the forces of one range of
// nodes. The energy is still summed in triangle order (the load term over the
// free coordinates, then the triangles), so the result is the plain loop's
// (energy_plain) to the last bit, whatever the threads.
double energy(const net& nt, const assembly& as, const fmat2& force, const fmat1& x, fmat1& g, energy_workspace& ws);

// The same with a chosen instruction set (one the processor runs).
double energy_lanes(const net& nt, const assembly& as, const fmat2& force, const fmat1& x, fmat1& g, lane_set set,
                    energy_workspace& ws);

// The same, one triangle after the other on the calling thread.
double energy_plain(const net& nt, const assembly& as, const fmat2& force, const fmat1& x, fmat1& g);

}  // namespace domica
