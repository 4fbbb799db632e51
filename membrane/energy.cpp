#include "membrane/energy.h"

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

double energy(const net& nt, const assembly& as, const fmat2& force, const fmat1& x, fmat1& g) {
  worker_pool& pool = energy_pool();
  if (nt.ne < parallel_from || pool.threads() == 1) return energy_plain(nt, as, force, x, g);
  // Every triangle's energy and forces first, shared among the threads; then
  // the sums, in triangle order, as the plain loop forms them.
  static std::vector<double> u, fe, ge;
  fe.resize(static_cast<std::size_t>(nt.ne));
  ge.resize(static_cast<std::size_t>(9 * nt.ne));
  double f = load_term(nt, as, force, x, g);
  displacements(nt, as, x, u);
  pool.run(nt.ne, [&](int lo, int hi) {
    for (int e = lo; e <= hi; ++e)
      fe[static_cast<std::size_t>(e - 1)] = triangle(nt, as, e, u.data(), &ge[static_cast<std::size_t>(9 * (e - 1))]);
  });
  // Each coordinate's sum in triangle order; the coordinates shared among the threads.
  pool.run(as.d.n, [&](int lo, int hi) {
    for (int i = lo; i <= hi; ++i) {
      double sum = g(i);
      for (int k = as.gather_start[static_cast<std::size_t>(i)]; k < as.gather_start[static_cast<std::size_t>(i) + 1]; ++k)
        sum = sum + ge[static_cast<std::size_t>(as.gather_at[static_cast<std::size_t>(k)])];
      g(i) = sum;
    }
  });
  for (int e = 1; e <= nt.ne; ++e) f = f + fe[static_cast<std::size_t>(e - 1)];
  return f;
}

}  // namespace domica
