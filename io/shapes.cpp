#include "io/shapes.h"

#include <charconv>
#include <cmath>

#include "model/failure.h"

namespace domica {

namespace {

std::string exact_number(const char* file, double v) {
  if (!std::isfinite(v)) throw failure(exit_solution, std::string(file) + ": a position of the found shell is not finite; no output written");
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, v == 0.0 ? 0.0 : v);  // zero without a sign
  return std::string(buf, r.ptr);
}

// A DXF group: its code on one line, its value on the next.
void group(std::string& out, int code, const std::string& value) {
  out += std::to_string(code);
  out += '\n';
  out += value;
  out += '\n';
}

}  // namespace

std::string dxf_text(const net& nt, const surface& sf) {
  std::string out;
  group(out, 0, "SECTION");
  group(out, 2, "HEADER");
  group(out, 9, "$ACADVER");
  group(out, 1, "AC1009");
  group(out, 0, "ENDSEC");
  group(out, 0, "SECTION");
  group(out, 2, "ENTITIES");
  for (int e = 1; e <= nt.ne; ++e) {
    group(out, 0, "3DFACE");
    group(out, 8, "SHELL");
    for (int corner = 0; corner < 4; ++corner) {
      int glob = nt.tri(e)(corner < 3 ? corner + 1 : 3);
      for (int axis = 1; axis <= 3; ++axis) group(out, 10 * axis + corner, exact_number("shell.dxf", sf.pos(glob, axis)));
    }
  }
  group(out, 0, "ENDSEC");
  group(out, 0, "EOF");
  return out;
}

std::string obj_text(const net& nt, const surface& sf) {
  std::string out = "# found surface: " + std::to_string(nt.nn) + " nodes, " + std::to_string(nt.ne) + " triangles\n";
  for (int glob = 1; glob <= nt.nn; ++glob) {
    out += 'v';
    for (int axis = 1; axis <= 3; ++axis) {
      out += ' ';
      out += exact_number("shell.obj", sf.pos(glob, axis));
    }
    out += '\n';
  }
  for (int e = 1; e <= nt.ne; ++e) {
    out += 'f';
    for (int loc = 1; loc <= 3; ++loc) {
      out += ' ';
      out += std::to_string(nt.tri(e)(loc));
    }
    out += '\n';
  }
  return out;
}

}  // namespace domica
