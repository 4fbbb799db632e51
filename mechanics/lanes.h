// The triangles of the energy laid out for vector lanes: eight triangles at a
// time go through the constant-strain triangle's arithmetic side by side, each
// lane doing exactly the operations of the one-triangle routines (cst.h) in
// their order, so every energy and force is the plain loop's to the last bit.
//
// Triangles are grouped in blocks of `lanes`; triangle e (1-based) is lane
// (e - 1) % lanes of block (e - 1) / lanes. The last block is padded with
// triangles of no volume whose results are never used.
#pragma once

#include <cstddef>
#include <vector>

#include "model/number.h"
#include "model/problem.h"
#include "mechanics/cst.h"

namespace domica {

constexpr int lanes = 8;

// Plan data and addresses of every triangle, lane by lane.
struct triangle_lanes {
  int blocks = 0;                                   // ceil(ne / lanes)
  std::vector<double> vol, c11, c12, c13, c21, c22, c23;  // blocks * lanes: volume and c(row, corner) of cst_plan
  std::vector<int> corner;  // 3 * blocks * lanes: corner[(loc - 1) * blocks * lanes + e - 1] = 3 (glob - 1)
  // For node glob, lane_position(e, 3 (loc - 1)) of each triangle e it is
  // corner loc of, in ascending triangle order (its y and z forces follow at
  // + lanes and + 2 lanes): node_at[node_start[glob - 1] .. node_start[glob] - 1].
  std::vector<int> node_start, node_at;  // nn + 1 and 3 ne entries
  std::vector<int> block_lo, block_hi;   // blocks: the lowest and highest node of the block's triangles
  std::vector<int> free_at;              // n: 3 (glob - 1) + axis - 1 of unknown i at i - 1
};

// Where force k (k = 3 (loc - 1) + axis - 1) of triangle e lies in a block-laid
// array of 9 * blocks * lanes entries.
inline std::size_t lane_position(int e, int k) {
  std::size_t t = static_cast<std::size_t>(e - 1);
  return (t / lanes) * 9 * lanes + static_cast<std::size_t>(k) * lanes + t % lanes;
}

// The lane layout of a net.
// Inputs: nt (nn, tri), plan (ne records), d (numbering of the unknowns).
triangle_lanes make_lanes(const net& nt, const arr1<cst_plan>& plan, const numbering& d);

// Instruction sets the block routine is built for; `widest_lanes` is the best
// this processor runs. All give the same bits.
enum class lane_set { generic, avx2, avx512 };
lane_set widest_lanes();

// Energies and corner forces of blocks b0 .. b1 - 1.
// Inputs:
//   t    the layout
//   h    plane-stress coefficients
//   u    3 nn displacements of every coordinate, 3 (glob - 1) + axis - 1
//   set  the instruction set to use (one the processor runs)
// Outputs:
//   fe   (b1 - b0) * lanes triangle energies, from triangle b0 * lanes + 1
//   ge   (b1 - b0) * 9 * lanes corner forces, block-laid as lane_position from block b0
void triangle_blocks(const triangle_lanes& t, const hooke& h, int b0, int b1, const double* u, double* fe, double* ge,
                     lane_set set);

}  // namespace domica
