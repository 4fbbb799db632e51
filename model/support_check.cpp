#include "model/support_check.h"

#include <cmath>
#include <cstdio>
#include <numeric>

#include "model/failure.h"
#include "model/problem.h"

namespace domica {

namespace {

const char* const axis_name[4] = {"", "x", "y", "z"};

[[noreturn]] void refuse(const support_wording& w, const std::string& message) { throw failure(exit_input, w.source + message); }

// A node or triangle number as a message shows it.
std::string named(const support_wording& w, int k) { return std::to_string(k - 1 + w.first); }

std::string num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  return buf;
}

int root(std::vector<int>& up, int k) {
  while (up[static_cast<std::size_t>(k)] != k) {
    up[static_cast<std::size_t>(k)] = up[static_cast<std::size_t>(up[static_cast<std::size_t>(k)])];
    k = up[static_cast<std::size_t>(k)];
  }
  return k;
}

// Rows of a 3-column constraint block, reduced to an orthonormal basis of
// their span (Gram-Schmidt, each row orthogonalised twice); a row that adds
// less than `tol` of its length is taken as dependent.
struct span3 {
  double b[3][3] = {};
  int rank = 0;
  void add(double r0, double r1, double r2) {
    if (rank == 3) return;
    double r[3] = {r0, r1, r2};
    double len0 = std::sqrt(r0 * r0 + r1 * r1 + r2 * r2);
    for (int pass = 0; pass < 2; ++pass)
      for (int k = 0; k < rank; ++k) {
        double d = r[0] * b[k][0] + r[1] * b[k][1] + r[2] * b[k][2];
        for (int i = 0; i < 3; ++i) r[i] -= d * b[k][i];
      }
    double len = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
    if (!(len > 1e-9 * len0)) return;
    for (int i = 0; i < 3; ++i) b[rank][i] = r[i] / len;
    ++rank;
  }
  // A vector orthogonal to a rank-2 span.
  void null(double& n0, double& n1, double& n2) const {
    n0 = b[0][1] * b[1][2] - b[0][2] * b[1][1];
    n1 = b[0][2] * b[1][0] - b[0][0] * b[1][2];
    n2 = b[0][0] * b[1][1] - b[0][1] * b[1][0];
  }
};

// The six rigid-body motions of one piece (its nodes `nodes`), with plan
// positions taken about the middle of the piece and scaled to about 1. A
// motion t + w x p has along x: tx - wz y, along y: ty + wz x, along z:
// tz + wx y - wy x (z = 0 on the plan), so the fixed x and y coordinates
// must stop (tx, ty, wz) and the fixed z coordinates (tz, wx, wy).
void rigid_body(const net& nt, const std::vector<int>& nodes, const std::string& piece, const support_wording& w) {
  double xmin = nt.xo(nodes[0]), xmax = xmin, ymin = nt.yo(nodes[0]), ymax = ymin;
  for (int glob : nodes) {
    xmin = std::fmin(xmin, nt.xo(glob));
    xmax = std::fmax(xmax, nt.xo(glob));
    ymin = std::fmin(ymin, nt.yo(glob));
    ymax = std::fmax(ymax, nt.yo(glob));
  }
  double cx = 0.5 * xmin + 0.5 * xmax, cy = 0.5 * ymin + 0.5 * ymax;
  double scale = std::fmax(0.5 * xmax - 0.5 * xmin, 0.5 * ymax - 0.5 * ymin);
  span3 plane, lift;
  int nx = 0, ny = 0, nz = 0, zfirst = 0, zfar = 0;
  double zdist = -1.0;
  for (int glob : nodes) {
    double x = (nt.xo(glob) - cx) / scale, y = (nt.yo(glob) - cy) / scale;
    if (nt.fixed(glob, 1) == 1) ++nx, plane.add(1.0, 0.0, -y);
    if (nt.fixed(glob, 2) == 1) ++ny, plane.add(0.0, 1.0, x);
    if (nt.fixed(glob, 3) == 1) {
      ++nz;
      lift.add(1.0, y, -x);
      if (zfirst == 0) zfirst = glob;
      double d = std::hypot(nt.xo(glob) - nt.xo(zfirst), nt.yo(glob) - nt.yo(zfirst));
      if (d > zdist) zdist = d, zfar = glob;
    }
  }
  if (nx == 0) refuse(w, piece + " can slide along x: no x coordinate is fixed");
  if (ny == 0) refuse(w, piece + " can slide along y: no y coordinate is fixed");
  if (nz == 0) refuse(w, piece + " can move along z: no z coordinate is fixed");
  if (plane.rank < 3) {
    double tx, ty, wz;
    plane.null(tx, ty, wz);
    // Rounding of the null vector is no part of the centre.
    auto clean = [&](double v) { return std::fabs(v) < 1e-9 * scale ? 0.0 : v; };
    refuse(w, piece + " can turn in plan about the point (" + num(clean(cx - ty / wz * scale)) + ", " + num(clean(cy + tx / wz * scale)) +
           "): its fixed x and y coordinates do not stop that rotation");
  }
  if (lift.rank == 1)
    refuse(w, piece + " can tip about node " + named(w, zfirst) + ": no node away from it has a fixed z coordinate");
  if (lift.rank < 3)
    refuse(w, piece + " can turn about the line through nodes " + named(w, zfirst) + " and " + named(w, zfar) +
           ": every node with a fixed z coordinate lies on that line");
}

}  // namespace

std::vector<std::string> check_supports(const problem& p, const support_wording& w) {
  const net& nt = p.nt;
  std::vector<std::string> warnings;

  // Connected pieces: nodes joined by triangles.
  std::vector<int> up(static_cast<std::size_t>(nt.nn) + 1);
  std::iota(up.begin(), up.end(), 0);
  std::vector<char> used(static_cast<std::size_t>(nt.nn) + 1, 0);
  for (int e = 1; e <= nt.ne; ++e)
    for (int loc = 1; loc <= 3; ++loc) {
      used[static_cast<std::size_t>(nt.tri(e)(loc))] = 1;
      int a = root(up, nt.tri(e)(1)), b = root(up, nt.tri(e)(loc));
      // The lower node number stays the root, so a piece is named by its lowest node.
      if (a < b) up[static_cast<std::size_t>(b)] = a;
      else up[static_cast<std::size_t>(a)] = b;
    }
  std::vector<std::vector<int>> pieces;
  std::vector<int> piece_of(static_cast<std::size_t>(nt.nn) + 1, -1);
  for (int glob = 1; glob <= nt.nn; ++glob) {
    if (!used[static_cast<std::size_t>(glob)]) continue;
    int r = root(up, glob);
    if (piece_of[static_cast<std::size_t>(r)] < 0) {
      piece_of[static_cast<std::size_t>(r)] = static_cast<int>(pieces.size());
      pieces.emplace_back();
    }
    pieces[static_cast<std::size_t>(piece_of[static_cast<std::size_t>(r)])].push_back(glob);
  }
  for (const std::vector<int>& nodes : pieces)
    rigid_body(nt, nodes,
               pieces.size() == 1 ? std::string("the net")
                                  : "the piece of the net with lowest node " + named(w, nodes[0]) + " (of " +
                                        std::to_string(pieces.size()) + " separate pieces)",
               w);

  // Nodes in no triangle and point loads on fixed coordinates.
  int lonely = 0, lonely_first = 0, dead = 0, dead_node = 0, dead_axis = 0;
  for (int glob = 1; glob <= nt.nn; ++glob)
    for (int axis = 1; axis <= 3; ++axis) {
      bool loaded = nt.point(glob, axis) != 0.0;
      if (!used[static_cast<std::size_t>(glob)] && loaded && nt.fixed(glob, axis) == 0)
        refuse(w, "node " + named(w, glob) + " belongs to no triangle, yet carries a load along " + axis_name[axis] +
               " on a free coordinate: nothing can hold it");
      if (loaded && nt.fixed(glob, axis) == 1 && dead++ == 0) dead_node = glob, dead_axis = axis;
    }
  for (int glob = 1; glob <= nt.nn; ++glob)
    if (!used[static_cast<std::size_t>(glob)] && lonely++ == 0) lonely_first = glob;
  if (lonely > 0)
    warnings.push_back("node " + named(w, lonely_first) +
                       (lonely > 1 ? " and " + std::to_string(lonely - 1) + " more nodes belong" : " belongs") +
                       " to no triangle: not part of the shell, kept at the plan position");
  if (dead > 0)
    warnings.push_back("the point load on node " + named(w, dead_node) + " along " + axis_name[dead_axis] +
                       (dead > 1 ? " and " + std::to_string(dead - 1) + " more act on fixed coordinates and have"
                                 : " acts on a fixed coordinate and has") +
                       " no effect");

  // Corner order: a pressure pushes each triangle to the side from which its corners run anticlockwise.
  if (nt.ne > 0) {
    auto aux = [&](int e) {
      const auto& c = nt.tri(e);
      return plan_aux(nt.xo(c(1)), nt.yo(c(1)), nt.xo(c(2)), nt.yo(c(2)), nt.xo(c(3)), nt.yo(c(3)));
    };
    bool first_anticlockwise = aux(1) > 0.0;
    for (int e = 2; e <= nt.ne; ++e)
      if ((aux(e) > 0.0) != first_anticlockwise) {
        std::string line = "the corners of " + w.element + " " + named(w, e) + " run " +
                           (first_anticlockwise ? "clockwise" : "anticlockwise") + " seen from above, those of " + w.element + " " + named(w, 1) + " " +
                           (first_anticlockwise ? "anticlockwise" : "clockwise");
        if (p.load.pressure != 0.0) refuse(w, line + ": the pressure would push the two in opposite directions");
        warnings.push_back(line + " (no effect without a pressure)");
        break;
      }
  }
  return warnings;
}

std::vector<std::string> check_supports(const problem& p) { return check_supports(p, support_wording{}); }

}  // namespace domica
