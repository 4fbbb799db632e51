#include "membrane/energy.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "membrane/pool.h"

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

double energy_lanes(const net& nt, const assembly& as, const fmat2& force, const fmat1& x, fmat1& g, lane_set set) {
  const triangle_lanes& t = as.tris;
  const int n = as.d.n, nn = nt.nn, ne = nt.ne, blocks = t.blocks;
  worker_pool& pool = energy_pool();
  const bool shared = ne >= parallel_from && pool.threads() > 1;
  // Each thread its own displacements, so no thread waits for another's.
  static std::vector<std::vector<double>> us;
  static std::vector<double> fe, ge;
  us.resize(static_cast<std::size_t>(shared ? pool.threads() : 1));
  for (std::vector<double>& u : us) u.resize(static_cast<std::size_t>(3 * nn));
  fe.resize(static_cast<std::size_t>(blocks) * lanes);
  ge.resize(static_cast<std::size_t>(blocks) * 9 * lanes);
  // The energy is one chain of additions: the load term over the free
  // coordinates in order, then the triangles in order. The thread of part 0
  // carries it a few links at a time between pieces of independent work,
  // which hides the wait for each addition; it keeps the chain in its own
  // variables so that the other threads' cache lines are left alone.
  double f = 0.0;
  const double* fv = force.data();
  const double* xv = x.data();
  const int* free_at = t.free_at.data();
  const double* fes = fe.data();
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
    for (int glob = first; glob <= last; ++glob)
      for (int axis = 1; axis <= 3; ++axis) {
        int i = as.d.index(glob, axis);
        u[3 * (glob - 1) + axis - 1] = i <= n ? xv[i - 1] : nt.known(glob, axis);
      }
    const int step = part == 0 && hi >= lo ? (n + hi - lo) / (hi - lo + 1) : 0;
    double sum = 0.0;
    int link = 0;
    for (int b = lo; b <= hi; ++b) {
      triangle_blocks(t, as.hk, b - 1, b, u, &fe[static_cast<std::size_t>(b - 1) * lanes], &ge[static_cast<std::size_t>(b - 1) * 9 * lanes], set);
      for (int upto = std::min(n, link + step); link < upto; ++link) sum = sum - fv[free_at[link]] * xv[link];
    }
    if (part == 0) {
      for (; link < n; ++link) sum = sum - fv[free_at[link]] * xv[link];
      f = sum;
    }
  };
  // The forces on the coordinates of nodes lo..hi: the load's, then the
  // triangles' in triangle order.
  auto sums = [&, n, ne](int lo, int hi, int part) {
    const int step = part == 0 && hi >= lo ? (ne + hi - lo) / (hi - lo + 1) : 0;
    const double* forces = ge.data();
    const int* node_at = t.node_at.data();
    const int* node_start = t.node_start.data();
    double* gv = g.data();
    double sum = part == 0 ? f : 0.0;
    int link = 0;
    for (int glob = lo; glob <= hi; ++glob) {
      const int i1 = as.d.index(glob, 1), i2 = as.d.index(glob, 2), i3 = as.d.index(glob, 3);
      double s1 = -fv[3 * (glob - 1)], s2 = -fv[3 * (glob - 1) + 1], s3 = -fv[3 * (glob - 1) + 2];
      for (const int *at = node_at + node_start[glob - 1], *end = node_at + node_start[glob]; at < end; ++at) {
        const double* ge1 = forces + *at;
        s1 = s1 + ge1[0];
        s2 = s2 + ge1[lanes];
        s3 = s3 + ge1[2 * lanes];
      }
      if (i1 <= n) gv[i1 - 1] = s1;
      if (i2 <= n) gv[i2 - 1] = s2;
      if (i3 <= n) gv[i3 - 1] = s3;
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
    // Part 0 carries the chain: it takes fewer blocks and nodes (a link
    // costs about a 150th of a block and a tenth of a node).
    const int parts = pool.threads();
    // One hand-over to the threads; they meet once between the triangles
    // and the sums.
    std::atomic<int> arrived{0};
    pool.run(parts, [&](int, int, int part) {
      int lo, hi;
      split(blocks, n / 150, parts, part, lo, hi);
      triangles(lo, hi, part);
      arrived.fetch_add(1);
      for (long spins = 0; arrived.load() < parts; ++spins)
        if (spins < 100000) __builtin_ia32_pause();
        else std::this_thread::yield();
      split(nn, ne / 10, parts, part, lo, hi);
      sums(lo, hi, part);
    });
  }
  return f;
}

double energy(const net& nt, const assembly& as, const fmat2& force, const fmat1& x, fmat1& g) {
  return energy_lanes(nt, as, force, x, g, lane_choice());
}

}  // namespace domica
