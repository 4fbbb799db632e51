#include "mechanics/energy.h"

#include <sched.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "mechanics/inline.h"
#include "mechanics/pool.h"

namespace domica {

namespace {

// Load term: f = -sum force x over the free coordinates in node order; it
// also sets every entry of g.
double load_term(const net& nt, const assembly& as, const fmat2& force, const fmat1& x, fmat1& g) {
  const int n = as.d.n;
  double f = 0.0;
  for (int glob = 1; glob <= nt.nn; ++glob)
    for (int axis = 1; axis <= 3; ++axis) {
      int i = as.d.index(glob, axis);
      if (i <= n) {
        f = f - force(glob, axis) * x(i);
        g(i) = -force(glob, axis);
      }
    }
  return f;
}

// Every coordinate's displacement, 3 (glob - 1) + axis - 1: x for free
// ones, known for fixed ones.
void displacements(const net& nt, const assembly& as, const fmat1& x, std::vector<double>& u) {
  u.resize(static_cast<std::size_t>(3 * nt.nn));
  for (int glob = 1; glob <= nt.nn; ++glob)
    for (int axis = 1; axis <= 3; ++axis) {
      int i = as.d.index(glob, axis);
      u[static_cast<std::size_t>(3 * (glob - 1) + axis - 1)] = i > as.d.n ? nt.known(glob, axis) : x(i);
    }
}

// Energy and corner forces of triangle e; u holds every coordinate's
// displacement, 3 (glob - 1) + axis - 1.
inline double triangle(const net& nt, const assembly& as, int e, const double* u, double ge[9]) {
  const cst_plan& el = as.plan(e);
  double xe[3][3];
  for (int loc = 1; loc <= 3; ++loc) {
    const double* ul = u + 3 * (nt.tri(e)(loc) - 1);
    for (int axis = 0; axis < 3; ++axis) xe[loc - 1][axis] = ul[axis];
  }
  cst_state s;
  cst_strains(el, as.hk, xe, s);
  cst_forces(el, s, ge);
  return 0.5 * el.volume * (s.sxx * s.exx + s.syy * s.eyy + s.sxy * s.exy);
}

// Add the corner forces of triangle e to the free coordinates' entries of g.
inline void gather(const net& nt, const assembly& as, int e, const double ge[9], fmat1& g) {
  for (int loc = 1; loc <= 3; ++loc)
    for (int axis = 1; axis <= 3; ++axis) {
      int i = as.d.index(nt.tri(e)(loc), axis);
      if (i <= as.d.n) g(i) = g(i) + ge[3 * (loc - 1) + axis - 1];
    }
}

// Triangles below which one thread is quicker than waking the others.
constexpr int parallel_from = 2000;

// Triangles from which a run takes more than one thread unless told: on the
// 2-core test machine whole runs were slower on two threads at 2400 and 9600
// triangles, and at 20184 a tenth faster on a busy machine but slower on a
// quieter one (docs/performance-threads.md, bench/threads); so only nets
// well above that take them.
constexpr int threads_pay_from = 40000;

// Range lo..hi of 1..count for `part` of `parts`, part 0 lightened by
// `extra`, work it does besides, in the same units.
void split(int count, int extra, int parts, int part, int& lo, int& hi) {
  long each = (static_cast<long>(count) + extra + parts - 1) / parts;
  long first = std::max(0L, std::min<long>(count, each - extra));
  long rest = parts > 1 ? (count - first + parts - 2) / (parts - 1) : 0;
  long begin = part == 0 ? 0 : first + (part - 1) * rest;
  long end = part == 0 ? first : std::min<long>(count, first + part * rest);
  lo = static_cast<int>(begin + 1);
  hi = static_cast<int>(end);
}

// The two per-node steps, forced inline so that
// each loop around them is compiled as if written out. The displacements of
// node glob into u (3 nn entries, 3 (glob - 1) + axis - 1): x for free
// coordinates, the known ones for fixed ones.
DOMICA_INLINE void node_displacements(const net& nt, const assembly& as, const double* xv, int glob, double* u) {
  for (int axis = 1; axis <= 3; ++axis) {
    int i = as.d.index(glob, axis);
    u[3 * (glob - 1) + axis - 1] = i <= as.d.n ? xv[i - 1] : nt.known(glob, axis);
  }
}

// The forces on node glob's free coordinates into gv: the load's, then the
// triangles' in triangle order from the block-laid forces ge.
DOMICA_INLINE void node_forces(const assembly& as, int glob, const double* fv, const double* ge, double* gv) {
  const triangle_lanes& t = as.tris;
  const int n = as.d.n;
  const int i1 = as.d.index(glob, 1), i2 = as.d.index(glob, 2), i3 = as.d.index(glob, 3);
  double s1 = -fv[3 * (glob - 1)], s2 = -fv[3 * (glob - 1) + 1], s3 = -fv[3 * (glob - 1) + 2];
  for (const int *at = t.node_at.data() + t.node_start[static_cast<std::size_t>(glob - 1)],
                 *end = t.node_at.data() + t.node_start[static_cast<std::size_t>(glob)];
       at < end; ++at) {
    const double* ge1 = ge + *at;
    s1 = s1 + ge1[0];
    s2 = s2 + ge1[lanes];
    s3 = s3 + ge1[2 * lanes];
  }
  if (i1 <= n) gv[i1 - 1] = s1;
  if (i2 <= n) gv[i2 - 1] = s2;
  if (i3 <= n) gv[i3 - 1] = s3;
}

// `count` doubles in v, from the start of a 64-byte cache line, so that each
// block's forces fill whole lines and no two parts write one line.
double* lined(std::vector<double>& v, std::size_t count) {
  v.resize(count + 7);
  const std::size_t skip = (64 - reinterpret_cast<std::uintptr_t>(v.data()) % 64) % 64;
  return v.data() + skip / sizeof(double);
}

lane_set lane_choice() {
  static const lane_set set = widest_lanes();
  return set;
}

}  // namespace

double energy_plain(const net& nt, const assembly& as, const fmat2& force, const fmat1& x, fmat1& g) {
  double f = load_term(nt, as, force, x, g);
  std::vector<double> u;
  displacements(nt, as, x, u);
  for (int e = 1; e <= nt.ne; ++e) {
    double ge[9];
    f = f + triangle(nt, as, e, u.data(), ge);
    gather(nt, as, e, ge, g);
  }
  return f;
}

energy_workspace::energy_workspace(int threads) {
  if (threads > 1) pool_ = std::make_unique<worker_pool>(threads);
}

energy_workspace::energy_workspace(energy_workspace&&) noexcept = default;
energy_workspace& energy_workspace::operator=(energy_workspace&&) noexcept = default;
energy_workspace::~energy_workspace() = default;

int energy_workspace::threads() const { return pool_ ? pool_->threads() : 1; }

int default_energy_threads(int ne) {
  if (ne < threads_pay_from) return 1;
  cpu_set_t mask;
  if (sched_getaffinity(0, sizeof mask, &mask) != 0) return 1;
  return std::max(1, CPU_COUNT(&mask));
}

double energy_lanes(const net& nt, const assembly& as, const fmat2& force, const fmat1& x, fmat1& g, lane_set set,
                    energy_workspace& ws) {
  const triangle_lanes& t = as.tris;
  const int n = as.d.n, nn = nt.nn, ne = nt.ne, blocks = t.blocks;
  const bool shared = ne >= parallel_from && ws.threads() > 1;
  const int parts = shared ? ws.threads() : 1;
  double* fe = lined(ws.fe_, static_cast<std::size_t>(blocks) * lanes);
  double* ge = lined(ws.ge_, static_cast<std::size_t>(blocks) * 9 * lanes);
  // Each part its own displacements, so no part waits for another's.
  std::vector<std::vector<double>>& us = ws.us_;
  if (us.size() < static_cast<std::size_t>(parts)) us.resize(static_cast<std::size_t>(parts));
  for (int part = 0; part < parts; ++part) us[static_cast<std::size_t>(part)].resize(static_cast<std::size_t>(3 * nn));
  // The energy is one chain of additions: the load term over the free
  // coordinates in order, then the triangles in order. Part 0 carries it a few links at a time between pieces of independent work,
  // which hides the wait for each addition; it keeps the chain in its own
  // variables so that the other threads' cache lines are left alone.
  double f = 0.0;
  const double* fv = force.data();
  const double* xv = x.data();
  const int* free_at = t.free_at.data();
  const double* fes = fe;
  // The displacements of the nodes of blocks lo..hi (x for free
  // coordinates, known for fixed ones), then the blocks' energies and forces,
  // a few links of the chain after each block (a longer run of links would
  // fill the reorder buffer and hold up the blocks).
  auto triangles = [&, n, nn](int lo, int hi, int part) {
    int first = nn, last = 1;
    for (int b = lo; b <= hi; ++b) {
      first = std::min(first, t.block_lo[static_cast<std::size_t>(b - 1)]);
      last = std::max(last, t.block_hi[static_cast<std::size_t>(b - 1)]);
    }
    double* u = us[static_cast<std::size_t>(part)].data();
    for (int glob = first; glob <= last; ++glob) node_displacements(nt, as, xv, glob, u);
    const int step = part == 0 && hi >= lo ? (n + hi - lo) / (hi - lo + 1) : 0;
    double sum = 0.0;
    int link = 0;
    for (int b = lo; b <= hi; ++b) {
      triangle_blocks(t, as.hk, b - 1, b, u, fe + static_cast<std::size_t>(b - 1) * lanes, ge + static_cast<std::size_t>(b - 1) * 9 * lanes, set);
      for (int upto = std::min(n, link + step); link < upto; ++link) sum = sum - fv[free_at[link]] * xv[link];
    }
    if (part == 0) {
      for (; link < n; ++link) sum = sum - fv[free_at[link]] * xv[link];
      f = sum;
    }
  };
  // The forces on the coordinates of nodes lo..hi: the load's, then the
  // triangles' in triangle order.
  auto sums = [&, ne](int lo, int hi, int part) {
    const int step = part == 0 && hi >= lo ? (ne + hi - lo) / (hi - lo + 1) : 0;
    const double* forces = ge;
    double* gv = g.data();
    double sum = part == 0 ? f : 0.0;
    int link = 0;
    for (int glob = lo; glob <= hi; ++glob) {
      node_forces(as, glob, fv, forces, gv);
      for (int upto = std::min(ne, link + step); link < upto; ++link) sum = sum + fes[link];
    }
    if (part == 0) {
      for (; link < ne; ++link) sum = sum + fes[link];
      f = sum;
    }
  };
  if (!shared) {
    triangles(1, blocks, 0);
    sums(1, nn, 0);
  } else {
    // Stage 0 computes each block once, stage 1 sums the nodes. Part 0
    // carries the chain: it takes fewer blocks and nodes (a link costs about
    // a 150th of a block and a tenth of a node).
    ws.pool_->run(2, [&](int stage, int part) {
      int lo, hi;
      if (stage == 0) {
        split(blocks, n / 150, parts, part, lo, hi);
        triangles(lo, hi, part);
      } else {
        split(nn, ne / 10, parts, part, lo, hi);
        sums(lo, hi, part);
      }
    });
  }
  return f;
}

double energy(const net& nt, const assembly& as, const fmat2& force, const fmat1& x, fmat1& g, energy_workspace& ws) {
  return energy_lanes(nt, as, force, x, g, lane_choice(), ws);
}

}  // namespace domica
