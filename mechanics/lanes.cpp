#include "mechanics/lanes.h"

#include <algorithm>
#include <cstring>

#include "mechanics/inline.h"

namespace domica {

triangle_lanes make_lanes(const net& nt, const arr1<cst_plan>& plan, const numbering& d) {
  triangle_lanes t;
  t.blocks = (nt.ne + lanes - 1) / lanes;
  const std::size_t pad = static_cast<std::size_t>(t.blocks) * lanes;
  for (std::vector<double>* v : {&t.vol, &t.c11, &t.c12, &t.c13, &t.c21, &t.c22, &t.c23}) v->assign(pad, 0.0);
  t.corner.assign(3 * pad, 0);
  t.node_start.assign(static_cast<std::size_t>(nt.nn) + 1, 0);
  t.block_lo.assign(static_cast<std::size_t>(t.blocks), nt.nn);
  t.block_hi.assign(static_cast<std::size_t>(t.blocks), 1);
  for (int e = 1; e <= nt.ne; ++e) {
    const std::size_t at = static_cast<std::size_t>(e - 1);
    const cst_plan& el = plan(e);
    t.vol[at] = el.volume;
    t.c11[at] = el.c(1, 1);
    t.c12[at] = el.c(1, 2);
    t.c13[at] = el.c(1, 3);
    t.c21[at] = el.c(2, 1);
    t.c22[at] = el.c(2, 2);
    t.c23[at] = el.c(2, 3);
    for (int loc = 1; loc <= 3; ++loc) {
      int glob = nt.tri(e)(loc);
      t.corner[static_cast<std::size_t>(loc - 1) * pad + at] = 3 * (glob - 1);
      ++t.node_start[static_cast<std::size_t>(glob)];
      int& lo = t.block_lo[at / lanes];
      int& hi = t.block_hi[at / lanes];
      lo = std::min(lo, glob);
      hi = std::max(hi, glob);
    }
  }
  for (int glob = 1; glob <= nt.nn; ++glob) t.node_start[static_cast<std::size_t>(glob)] += t.node_start[static_cast<std::size_t>(glob) - 1];
  t.node_at.assign(static_cast<std::size_t>(t.node_start[static_cast<std::size_t>(nt.nn)]), 0);
  std::vector<int> next(t.node_start.begin(), t.node_start.end() - 1);
  for (int e = 1; e <= nt.ne; ++e)
    for (int loc = 1; loc <= 3; ++loc)
      t.node_at[static_cast<std::size_t>(next[static_cast<std::size_t>(nt.tri(e)(loc) - 1)]++)] = static_cast<int>(lane_position(e, 3 * (loc - 1)));
  t.free_at.assign(static_cast<std::size_t>(d.n), 0);
  for (int glob = 1; glob <= nt.nn; ++glob)
    for (int axis = 1; axis <= 3; ++axis)
      if (d.index(glob, axis) <= d.n) t.free_at[static_cast<std::size_t>(d.index(glob, axis) - 1)] = 3 * (glob - 1) + axis - 1;
  return t;
}

lane_set widest_lanes() {
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx512f")) return lane_set::avx512;
  if (__builtin_cpu_supports("avx2")) return lane_set::avx2;
  return lane_set::generic;
}

namespace {

typedef double lane_vector __attribute__((vector_size(lanes * sizeof(double))));

DOMICA_INLINE void load(lane_vector& v, const double* p) { std::memcpy(&v, p, sizeof v); }
DOMICA_INLINE void store(double* p, const lane_vector& v) { std::memcpy(p, &v, sizeof v); }

// One block. Each lane repeats cst_strains, cst_forces and the energy of one
// triangle operation for operation; adding 0.0 is kept where the one-triangle
// routine adds it (it turns -0 into +0).
DOMICA_INLINE void block(const triangle_lanes& t, const hooke& h, int b, const double* u, double* fe, double* ge) {
  typedef lane_vector V;
  const std::size_t base = static_cast<std::size_t>(b) * lanes, pad = static_cast<std::size_t>(t.blocks) * lanes;
  V c1[3], c2[3], vol;
  load(c1[0], &t.c11[base]);
  load(c1[1], &t.c12[base]);
  load(c1[2], &t.c13[base]);
  load(c2[0], &t.c21[base]);
  load(c2[1], &t.c22[base]);
  load(c2[2], &t.c23[base]);
  load(vol, &t.vol[base]);
  V xe[3][3];
  for (int loc = 0; loc < 3; ++loc) {
    const int* at = &t.corner[static_cast<std::size_t>(loc) * pad + base];
    for (int axis = 0; axis < 3; ++axis) {
      double v[lanes];
      for (int lane = 0; lane < lanes; ++lane) v[lane] = u[at[lane] + axis];
      load(xe[loc][axis], v);
    }
  }
  const V zero = V{}, one = zero + 1.0, half = zero + 0.5;
  V a[3], bb[3];
  for (int k = 0; k < 3; ++k) {
    a[k] = c1[0] * xe[0][k] + c1[1] * xe[1][k] + c1[2] * xe[2][k];
    bb[k] = c2[0] * xe[0][k] + c2[1] * xe[1][k] + c2[2] * xe[2][k];
  }
  V exx = a[0] + half * (a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
  V eyy = bb[1] + half * (bb[0] * bb[0] + bb[1] * bb[1] + bb[2] * bb[2]);
  V exy = half * (bb[0] + a[1] + a[0] * bb[0] + a[1] * bb[1] + a[2] * bb[2]);
  V sxx = h.h11 * exx + h.h12 * eyy;
  V syy = h.h21 * exx + h.h22 * eyy;
  V sxy = h.h33 * exy;
  store(fe, half * vol * (sxx * exx + syy * eyy + sxy * exy));
  for (int loc = 0; loc < 3; ++loc)
    for (int axis = 0; axis < 3; ++axis) {
      V ax = a[axis] + (axis == 0 ? one : zero);
      V by = bb[axis] + (axis == 1 ? one : zero);
      V dexx = c1[loc] * ax;
      V deyy = c2[loc] * by;
      V dexy = half * (c2[loc] * ax + c1[loc] * by);
      V g = sxx * dexx + syy * deyy + sxy * dexy;
      store(ge + (3 * loc + axis) * lanes, g * vol);
    }
}

void blocks_generic(const triangle_lanes& t, const hooke& h, int b0, int b1, const double* u, double* fe, double* ge) {
  for (int b = b0; b < b1; ++b) block(t, h, b, u, fe + (b - b0) * lanes, ge + (b - b0) * 9 * lanes);
}

__attribute__((target("avx2"))) void blocks_avx2(const triangle_lanes& t, const hooke& h, int b0, int b1, const double* u, double* fe,
                                                 double* ge) {
  for (int b = b0; b < b1; ++b) block(t, h, b, u, fe + (b - b0) * lanes, ge + (b - b0) * 9 * lanes);
}

__attribute__((target("avx512f"))) void blocks_avx512(const triangle_lanes& t, const hooke& h, int b0, int b1, const double* u,
                                                      double* fe, double* ge) {
  for (int b = b0; b < b1; ++b) block(t, h, b, u, fe + (b - b0) * lanes, ge + (b - b0) * 9 * lanes);
}

}  // namespace

void triangle_blocks(const triangle_lanes& t, const hooke& h, int b0, int b1, const double* u, double* fe, double* ge,
                     lane_set set) {
  switch (set) {
    case lane_set::avx512: blocks_avx512(t, h, b0, b1, u, fe, ge); break;
    case lane_set::avx2: blocks_avx2(t, h, b0, b1, u, fe, ge); break;
    case lane_set::generic: blocks_generic(t, h, b0, b1, u, fe, ge); break;
  }
}

}  // namespace domica
