#include "mechanics/energy.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "mechanics/inline.h"
#include "mechanics/pool.h"
#include "mechanics/share.h"

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

// The two per-node steps of both ways of sharing, forced inline so that
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

// Displacements of the nodes [nodes[2k], nodes[2k + 1]) into u.
void fill_displacements(const net& nt, const assembly& as, const double* xv, const std::vector<int>& nodes, double* u) {
  for (std::size_t r = 0; r < nodes.size(); r += 2)
    for (int glob = nodes[r]; glob < nodes[r + 1]; ++glob) node_displacements(nt, as, xv, glob, u);
}

// What one part tells the others, on a cache line of its own: the chain's
// value handed to the next part, or that its lent blocks are computed (f
// unused); `round` says which evaluation it belongs to.
struct alignas(64) signal {
  std::atomic<long> round{0};
  double f = 0.0;
};

// Spin until ready(), then yield between looks: the other threads are
// microseconds away unless the system has taken their cores.
template <class Ready>
void spin_until(Ready ready) {
  for (long spins = 0; !ready(); ++spins)
    if (spins < 100000) __builtin_ia32_pause();
    else std::this_thread::yield();
}

void wait_for(const signal& s, long round) {
  spin_until([&] { return s.round.load(std::memory_order_acquire) == round; });
}

double take(const signal& s, long round) {
  wait_for(s, round);
  return s.f;
}

void give(signal& s, long round, double f = 0.0) {
  s.f = f;
  s.round.store(round, std::memory_order_release);
}

// `count` doubles in v, from the start of a 64-byte cache line, so that each
// block's forces fill whole lines and no two parts write one line.
double* lined(std::vector<double>& v, std::size_t count) {
  v.resize(count + 7);
  const std::size_t skip = (64 - reinterpret_cast<std::uintptr_t>(v.data()) % 64) % 64;
  return v.data() + skip / sizeof(double);
}

// The blocks of share s, energies into fe and forces into ge (laid from block
// 0), saying so on `lent` once its lent blocks are done; carrying the chain
// from `sum` over its links 0 .. to - 1 (the load term's n, then the
// triangles') as the energies appear: only part 0, whose blocks begin at
// block 0, carries links here.
double own_blocks(const assembly& as, const part_share& s, const double* u, double* fe, double* ge, lane_set set, const double* fv,
                  const double* xv, double sum, int to, signal& lent, long round) {
  const triangle_lanes& t = as.tris;
  const int n = as.d.n;
  const int* free_at = t.free_at.data();
  const int count = s.last - s.first;
  const int step = count > 0 ? (to + count - 1) / count : 0;
  int link = 0;
  for (int b = s.first; b < s.last; ++b) {
    triangle_blocks(t, as.hk, b, b + 1, u, fe + static_cast<std::size_t>(b) * lanes, ge + static_cast<std::size_t>(b) * 9 * lanes, set);
    if (b + 1 == s.lent) give(lent, round);
    const int upto = std::min({to, link + step, n + (b + 1) * lanes});
    for (; link < std::min(upto, n); ++link) sum = sum - fv[free_at[link]] * xv[link];
    for (; link < upto; ++link) sum = sum + fe[link - n];
  }
  for (; link < std::min(to, n); ++link) sum = sum - fv[free_at[link]] * xv[link];
  for (; link < to; ++link) sum = sum + fe[link - n];
  return sum;
}

// The forces on the coordinates of share s's nodes, the load's and then the
// triangles' in triangle order, from the forces ge: first the nodes its own
// blocks give, then, once the parts it waits for have said so on `lent`, the
// outer ones. With `carry` (a part between the first and the last) it also
// takes the chain from `in` once it is there and carries it over the
// energies fe of its blocks, and returns it. (Two instances: the one without
// the chain keeps the node loop lean.)
template <bool carry>
double own_sums(const assembly& as, const part_share& s, const double* fv, const double* ge, const double* fe, int ne,
                const signal* lent, const signal* in, long round, double* gv) {
  const int to = std::min(ne, s.last * lanes);
  int link = std::min(ne, s.first * lanes), step = 0;
  bool have = false;
  double sum = 0.0;
  int left = 0;
  for (const std::vector<int>* runs : {&s.nodes, &s.outer})
    for (std::size_t r = 0; r < runs->size(); r += 2) left += (*runs)[r + 1] - (*runs)[r];
  for (const std::vector<int>* runs : {&s.nodes, &s.outer}) {
    if (runs == &s.outer)
      for (int q : s.waits) wait_for(lent[q], round);
    for (std::size_t r = 0; r < runs->size(); r += 2)
      for (int glob = (*runs)[r]; glob < (*runs)[r + 1]; ++glob, --left) {
        node_forces(as, glob, fv, ge, gv);
        if (!carry || link == to) continue;
        if (!have) {
          // Ask once a node until the part before hands the chain over.
          if (in->round.load(std::memory_order_acquire) == round) {
            have = true;
            sum = in->f;
            step = (to - link + left - 1) / left;
          }
        } else {
          for (int upto = std::min(to, link + step); link < upto; ++link) sum = sum + fe[link];
        }
      }
  }
  if (!carry) return 0.0;
  if (!have) sum = take(*in, round);
  for (; link < to; ++link) sum = sum + fe[link];
  return sum;
}

// The most threads that share a net by its shares.
constexpr int max_parts = 64;

// The energy shared among the pool's threads by the shares of
// membrane/share.h: each part computes its own blocks, reads only the few
// forces of later parts along its cut, and the chain goes from part to part.
double by_shares(const net& nt, const assembly& as, const fmat2& force, const fmat1& x, fmat1& g, lane_set set, worker_pool& pool,
                 double* fe, double* ge) {
  const triangle_lanes& t = as.tris;
  const int n = as.d.n, ne = nt.ne, parts = pool.threads();
  static std::vector<std::vector<double>> us;
  static std::unique_ptr<signal[]> handed, lent, ends;
  static int signals = 0;
  static long round = 0;
  us.resize(static_cast<std::size_t>(parts));
  for (std::vector<double>& u : us) u.resize(static_cast<std::size_t>(3 * nt.nn));
  if (signals != parts) {
    handed = std::make_unique<signal[]>(static_cast<std::size_t>(parts));
    lent = std::make_unique<signal[]>(static_cast<std::size_t>(parts));
    ends = std::make_unique<signal[]>(static_cast<std::size_t>(parts));
    signals = parts;
  }
  const long r = ++round;
  const double* fv = force.data();
  const double* xv = x.data();
  double f = 0.0;
  const auto start = std::chrono::steady_clock::now();
  pool.run([&](int part) {
    const part_share& s = t.shares.parts[static_cast<std::size_t>(part)];
    double* u = us[static_cast<std::size_t>(part)].data();
    fill_displacements(nt, as, xv, s.u_nodes, u);
    if (part == 0) {
      give(handed[0], r, own_blocks(as, s, u, fe, ge, set, fv, xv, 0.0, n + std::min(ne, s.last * lanes), lent[0], r));
      own_sums<false>(as, s, fv, ge, fe, ne, lent.get(), nullptr, r, g.data());
    } else if (part < parts - 1) {
      own_blocks(as, s, u, fe, ge, set, fv, xv, 0.0, 0, lent[part], r);
      give(handed[part], r, own_sums<true>(as, s, fv, ge, fe, ne, lent.get(), &handed[part - 1], r, g.data()));
    } else {
      // The last part takes the chain after its sums: carried among them it
      // slowed the sums more than it saved.
      own_blocks(as, s, u, fe, ge, set, fv, xv, 0.0, 0, lent[part], r);
      own_sums<false>(as, s, fv, ge, fe, ne, lent.get(), nullptr, r, g.data());
      double sum = take(handed[part - 1], r);
      for (int link = std::min(ne, s.first * lanes), to = std::min(ne, s.last * lanes); link < to; ++link) sum = sum + fe[link];
      f = sum;
    }
    // When it finished, for keeping the parts balanced.
    ends[part].f = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
  });
  double finish[max_parts];
  for (int part = 0; part < parts; ++part) finish[part] = ends[part].f;
  rebalance(t.shares, t, nt.nn, finish);
  return f;
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
  static std::vector<double> fe_store, ge_store;
  double* fe = lined(fe_store, static_cast<std::size_t>(blocks) * lanes);
  double* ge = lined(ge_store, static_cast<std::size_t>(blocks) * 9 * lanes);
  if (shared && pool.threads() <= max_parts) {
    if (t.shares.parts.size() != static_cast<std::size_t>(pool.threads())) {
      t.shares = net_shares{};
      t.shares.cuts = plan_cuts(t, nn, n, pool.threads());
      t.shares.parts = shares_at(t, nn, t.shares.cuts);
    }
    int lent = 0;
    for (const part_share& s : t.shares.parts) lent += s.lent - s.first;
    // Unless the numbering makes the parts read many blocks of later parts.
    if (lent <= blocks / 4) return by_shares(nt, as, force, x, g, set, pool, fe, ge);
  }
  // Each thread its own displacements, so no thread waits for another's.
  static std::vector<std::vector<double>> us;
  us.resize(static_cast<std::size_t>(shared ? pool.threads() : 1));
  for (std::vector<double>& u : us) u.resize(static_cast<std::size_t>(3 * nn));
  // The energy is one chain of additions: the load term over the free
  // coordinates in order, then the triangles in order. The thread of part 0
  // carries it a few links at a time between pieces of independent work,
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
    // Each block is computed once, and the parts meet before they sum.
    // Part 0 carries the chain: it takes fewer blocks and nodes (a link
    // costs about a 150th of a block and a tenth of a node).
    const int parts = pool.threads();
    std::atomic<int> arrived{0};
    pool.run([&](int part) {
      int lo, hi;
      split(blocks, n / 150, parts, part, lo, hi);
      triangles(lo, hi, part);
      arrived.fetch_add(1);
      spin_until([&] { return arrived.load() == parts; });
      split(nn, ne / 10, parts, part, lo, hi);
      sums(lo, hi, part);
    });
  }
  return f;
}

double energy(const net& nt, const assembly& as, const fmat2& force, const fmat1& x, fmat1& g) {
  return energy_lanes(nt, as, force, x, g, lane_choice());
}

int default_energy_threads(int) { return 1; }
double energy(const net& nt, const assembly& as, const fmat2& force, const fmat1& x, fmat1& g, energy_workspace&) {
  return energy(nt, as, force, x, g);
}

}  // namespace domica
