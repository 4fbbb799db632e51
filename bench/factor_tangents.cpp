// Sparse LU packages side by side on the real tangent of domica_2.
//   build/bench/factor_tangents weblar.txt [repeats]
// 1. Read the net (a domica_2 weblar.txt) and solve it with --solver=sparse.
// 2. Assemble the tangent at the converged shape, in compressed columns.
// 3. For each package: one analysis of the pattern, then `repeats` numeric
//    factorisations and solves of the same matrix, as the Newton iterations
//    of domica_2 do. The solution and each package run in child processes,
//    so that every package starts from the same small heap: the table gives
//    the growth of a package's peak resident size over its size at the start,
//    the analysis time, the best factorisation and the best solve (seconds),
//    the entries of L and U, and the relative residual |A x - b| / |b|.
// MUMPS (sequential) is measured where the build found it (DOMICA_HAVE_MUMPS).
#include <sys/resource.h>
#include <sys/wait.h>
#include <umfpack.h>
#include <unistd.h>

#include <Eigen/OrderingMethods>
#include <Eigen/SparseCore>
#include <Eigen/SparseLU>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "io/input.h"
#include "model/number.h"
#include "domica_2/driver.h"
#include "mechanics/structure.h"

#ifdef DOMICA_HAVE_MUMPS
#include <dmumps_c.h>
#endif

using namespace domica;

namespace {

// The tangent in compressed columns, 0-based, rows ascending in each column.
struct csc {
  int n = 0;
  std::vector<int> ap, ai;
  std::vector<double> ax;
  void zero() { std::fill(ax.begin(), ax.end(), 0.0); }
  void add(int i, int j, double v) {
    auto first = ai.begin() + ap[static_cast<std::size_t>(j - 1)], last = ai.begin() + ap[static_cast<std::size_t>(j)];
    auto at = std::lower_bound(first, last, i - 1);
    ax[static_cast<std::size_t>(at - ai.begin())] += v;
  }
};

double now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

// What one package reports back.
struct figures {
  double extra_mb = 0;
  double analysis = 0, factor = 1e300, solve = 1e300, residual = 0;
  double factor_entries = 0;  // entries of L and U, where the package tells
};

double residual(const csc& a, const std::vector<double>& x, const std::vector<double>& b) {
  std::vector<double> r(b);
  for (int j = 0; j < a.n; ++j)
    for (int k = a.ap[static_cast<std::size_t>(j)]; k < a.ap[static_cast<std::size_t>(j) + 1]; ++k)
      r[static_cast<std::size_t>(a.ai[static_cast<std::size_t>(k)])] -= a.ax[static_cast<std::size_t>(k)] * x[static_cast<std::size_t>(j)];
  double rn = 0, bn = 0;
  for (std::size_t i = 0; i < r.size(); ++i) {
    rn += r[i] * r[i];
    bn += b[i] * b[i];
  }
  return std::sqrt(rn / bn);
}

// UMFPACK with the given control settings (names in umfpack.h).
figures umfpack(const csc& a, const std::vector<double>& b, int repeats, const std::function<void(double*)>& tune) {
  figures f;
  double control[UMFPACK_CONTROL], info[UMFPACK_INFO];
  umfpack_di_defaults(control);
  tune(control);
  void *symbolic = nullptr, *numeric = nullptr;
  double t = now();
  if (umfpack_di_symbolic(a.n, a.n, a.ap.data(), a.ai.data(), a.ax.data(), &symbolic, control, info) != UMFPACK_OK) std::exit(3);
  f.analysis = now() - t;
  std::vector<double> x(b.size());
  for (int r = 0; r < repeats; ++r) {
    t = now();
    if (umfpack_di_numeric(a.ap.data(), a.ai.data(), a.ax.data(), symbolic, &numeric, control, info) != UMFPACK_OK) std::exit(3);
    f.factor = std::min(f.factor, now() - t);
    f.factor_entries = info[UMFPACK_LNZ] + info[UMFPACK_UNZ] + a.n;
    t = now();
    if (umfpack_di_solve(UMFPACK_A, a.ap.data(), a.ai.data(), a.ax.data(), x.data(), b.data(), numeric, control, info) != UMFPACK_OK) std::exit(3);
    f.solve = std::min(f.solve, now() - t);
    umfpack_di_free_numeric(&numeric);
  }
  umfpack_di_free_symbolic(&symbolic);
  f.residual = residual(a, x, b);
  return f;
}

// Eigen's SparseLU (supernodal, its own dense kernels) with the given ordering.
template <class Ordering>
figures eigen_lu(const csc& a, const std::vector<double>& b, int repeats) {
  figures f;
  Eigen::Map<const Eigen::SparseMatrix<double, Eigen::ColMajor, int>> m(a.n, a.n, static_cast<Eigen::Index>(a.ai.size()), a.ap.data(), a.ai.data(), a.ax.data());
  Eigen::SparseMatrix<double, Eigen::ColMajor, int> copy = m;
  Eigen::SparseLU<Eigen::SparseMatrix<double, Eigen::ColMajor, int>, Ordering> lu;
  double t = now();
  lu.analyzePattern(copy);
  f.analysis = now() - t;
  Eigen::Map<const Eigen::VectorXd> rhs(b.data(), a.n);
  Eigen::VectorXd x;
  for (int r = 0; r < repeats; ++r) {
    t = now();
    lu.factorize(copy);
    if (lu.info() != Eigen::Success) std::exit(3);
    f.factor = std::min(f.factor, now() - t);
    t = now();
    x = lu.solve(rhs);
    f.solve = std::min(f.solve, now() - t);
  }
  f.factor_entries = static_cast<double>(lu.nnzL() + lu.nnzU());
  f.residual = residual(a, std::vector<double>(x.data(), x.data() + a.n), b);
  return f;
}

#ifdef DOMICA_HAVE_MUMPS
// MUMPS, sequential, unsymmetric, the matrix given once on the host in
// coordinates; `ordering` is ICNTL(7) (7: its automatic choice).
figures mumps(const csc& a, const std::vector<double>& b, int repeats, int ordering) {
  figures f;
  DMUMPS_STRUC_C id{};
  id.comm_fortran = -987654;  // MPI_COMM_WORLD of the sequential stub
  id.par = 1;
  id.sym = 0;
  id.job = -1;
  dmumps_c(&id);
  id.icntl[0] = id.icntl[1] = id.icntl[2] = id.icntl[3] = -1;  // silent
  id.icntl[6] = ordering;
  std::vector<int> irn, jcn;
  for (int j = 0; j < a.n; ++j)
    for (int k = a.ap[static_cast<std::size_t>(j)]; k < a.ap[static_cast<std::size_t>(j) + 1]; ++k) {
      irn.push_back(a.ai[static_cast<std::size_t>(k)] + 1);
      jcn.push_back(j + 1);
    }
  std::vector<double> values(a.ax);
  id.n = a.n;
  id.nnz = static_cast<MUMPS_INT8>(irn.size());
  id.irn = irn.data();
  id.jcn = jcn.data();
  id.a = values.data();
  double t = now();
  id.job = 1;
  dmumps_c(&id);
  if (id.infog[0] < 0) std::exit(3);
  f.analysis = now() - t;
  std::vector<double> x(b);
  for (int r = 0; r < repeats; ++r) {
    t = now();
    id.job = 2;
    dmumps_c(&id);
    if (id.infog[0] < 0) std::exit(3);
    f.factor = std::min(f.factor, now() - t);
    x = b;
    id.rhs = x.data();
    t = now();
    id.job = 3;
    dmumps_c(&id);
    if (id.infog[0] < 0) std::exit(3);
    f.solve = std::min(f.solve, now() - t);
  }
  // INFOG(29): entries in the factors (negative: millions).
  f.factor_entries = id.infog[28] >= 0 ? id.infog[28] : -1e6 * id.infog[28];
  f.residual = residual(a, x, b);
  id.job = -2;
  dmumps_c(&id);
  return f;
}
#endif

long resident_kb() {
  long pages = 0, resident = 0;
  std::FILE* f = std::fopen("/proc/self/statm", "r");
  if (f && std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
  if (f) std::fclose(f);
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Run `work` in a child process; the numbers it returns come back into
// `result` (as many as it has). False when the child failed.
bool in_child(const std::function<std::vector<double>()>& work, std::vector<double>& result) {
  std::fflush(stdout);
  int fd[2];
  if (pipe(fd) != 0) std::exit(2);
  pid_t child = fork();
  if (child == 0) {
    close(fd[0]);
    std::vector<double> r = work();
    const char* at = reinterpret_cast<const char*>(r.data());
    for (std::size_t left = sizeof(double) * r.size(); left > 0;) {
      ssize_t put = write(fd[1], at, left);
      if (put <= 0) _exit(2);
      at += put;
      left -= static_cast<std::size_t>(put);
    }
    _exit(0);
  }
  close(fd[1]);
  char* at = reinterpret_cast<char*>(result.data());
  std::size_t left = sizeof(double) * result.size();
  for (ssize_t got; left > 0 && (got = read(fd[0], at, left)) > 0;) {
    at += got;
    left -= static_cast<std::size_t>(got);
  }
  close(fd[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return left == 0 && status == 0;
}

// One package's row.
void measure(const std::string& name, const std::function<figures()>& package) {
  std::vector<double> got(6);
  bool ok = in_child(
      [&] {
        long start = resident_kb();
        figures f = package();
        struct rusage use;
        getrusage(RUSAGE_SELF, &use);
        f.extra_mb = static_cast<double>(use.ru_maxrss - start) / 1024.0;
        return std::vector<double>{f.extra_mb, f.analysis, f.factor, f.solve, f.residual, f.factor_entries};
      },
      got);
  if (!ok) {
    std::printf("%-22s failed\n", name.c_str());
    return;
  }
  std::printf("%-22s %9.1f %9.3f %9.3f %9.3f %11.0f %9.1e\n", name.c_str(), got[0], got[1], got[2], got[3], got[5], got[4]);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: factor_tangents weblar.txt [repeats]\n");
    return 2;
  }
  int repeats = argc > 2 ? std::atoi(argv[2]) : 5;
  // 1. The net, solved (in a child: the solver's heap stays there).
  problem p = input(program::domica_2, argv[1], "weblar.txt");
  state2 s = start2(p);
  const int n = s.as.d.n;
  std::vector<double> x(static_cast<std::size_t>(n));
  if (!in_child(
          [&] {
            observer silent;
            progress pr(silent);
            solution(p, s, pr, linear_kind::sparse);
            return std::vector<double>(s.x.data(), s.x.data() + n);
          },
          x)) {
    std::fprintf(stderr, "factor_tangents: the net was not solved\n");
    return 1;
  }
  for (int i = 1; i <= n; ++i) s.x(i) = x[static_cast<std::size_t>(i - 1)];
  // 2. Its tangent at the converged shape, full loads.
  csc a;
  a.n = n;
  a.ap.push_back(0);
  for (const std::vector<int>& column : coupling(p.nt, s.as.d)) {
    for (int i : column) a.ai.push_back(i - 1);
    a.ap.push_back(static_cast<int>(a.ai.size()));
  }
  a.ax.assign(a.ai.size(), 0.0);
  fmat1 force(n), r(n);
  for (int glob = 1; glob <= p.nt.nn; ++glob)
    for (int axis = 1; axis <= 3; ++axis) {
      int k = s.as.d.index(glob, axis);
      if (k <= n) force(k) = s.loads(glob, axis);
    }
  structure(p.nt, s.as, p.load.pressure, force, s.x, r, a);
  std::vector<double> b(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) b[static_cast<std::size_t>(i)] = 1.0 + 0.001 * (i % 7);
  std::printf("nodes %d, unknowns %d, entries %zu, %d factorisations each\n", p.nt.nn, n, a.ai.size(), repeats);
  std::printf("%-22s %9s %9s %9s %9s %11s %9s\n", "package", "extra_MB", "analyse_s", "factor_s", "solve_s", "LU_entries", "residual");
  // 3. The packages.
  measure("UMFPACK defaults", [&] { return umfpack(a, b, repeats, [](double*) {}); });
  measure("UMFPACK domica_2", [&] {
    return umfpack(a, b, repeats, [](double* c) {
      c[UMFPACK_STRATEGY] = UMFPACK_STRATEGY_SYMMETRIC;
      c[UMFPACK_ORDERING] = UMFPACK_ORDERING_METIS;
      c[UMFPACK_IRSTEP] = 0;
    });
  });
  measure("UMFPACK symmetric AMD", [&] {
    return umfpack(a, b, repeats, [](double* c) {
      c[UMFPACK_STRATEGY] = UMFPACK_STRATEGY_SYMMETRIC;
      c[UMFPACK_IRSTEP] = 0;
    });
  });
  measure("Eigen SparseLU COLAMD", [&] { return eigen_lu<Eigen::COLAMDOrdering<int>>(a, b, repeats); });
  measure("Eigen SparseLU AMD", [&] { return eigen_lu<Eigen::AMDOrdering<int>>(a, b, repeats); });
#ifdef DOMICA_HAVE_MUMPS
  measure("MUMPS seq auto", [&] { return mumps(a, b, repeats, 7); });
  measure("MUMPS seq AMD", [&] { return mumps(a, b, repeats, 0); });
  measure("MUMPS seq METIS", [&] { return mumps(a, b, repeats, 5); });
#endif
  return 0;
}
