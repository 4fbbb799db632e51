#include "io/vtu.h"

#include <charconv>
#include <cmath>
#include <string>

#include "model/failure.h"

namespace domica {

namespace {

void put(std::string& out, double v) {
  if (!std::isfinite(v)) throw failure(exit_solution, "shell.vtu: a value of the found shell is not finite; no output written");
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
  out += ' ';
}

void put(std::string& out, long long v) {
  out += std::to_string(v);
  out += ' ';
}

// One DataArray of `components` per tuple; each(out, k) writes line k
// (1-based) of `count`, which may hold several tuples (the connectivity is a
// flat list, three values a triangle).
template <class Each>
void array(std::string& out, const char* type, const char* name, int components, int count, Each each) {
  out += "<DataArray type=\"";
  out += type;
  out += '"';
  if (name[0] != '\0') {
    out += " Name=\"";
    out += name;
    out += '"';
  }
  out += " NumberOfComponents=\"" + std::to_string(components) + "\" format=\"ascii\">\n";
  for (int k = 1; k <= count; ++k) {
    each(out, k);
    out.back() = '\n';
  }
  out += "</DataArray>\n";
}

}  // namespace

std::string vtu_text(const net& nt, const surface& sf, const membrane_forces& f, const std::vector<point_field>& extra) {
  std::string out;
  out.reserve(static_cast<std::size_t>(nt.nn) * 200 + static_cast<std::size_t>(nt.ne) * 200 + 1024);
  out += "<?xml version=\"1.0\"?>\n";
  out += "<VTKFile type=\"UnstructuredGrid\" version=\"1.0\" byte_order=\"LittleEndian\" header_type=\"UInt64\">\n";
  out += "<UnstructuredGrid>\n";
  out += "<Piece NumberOfPoints=\"" + std::to_string(nt.nn) + "\" NumberOfCells=\"" + std::to_string(nt.ne) + "\">\n";
  out += "<PointData Scalars=\"n1\" Vectors=\"displacement\">\n";
  array(out, "Float64", "displacement", 3, nt.nn, [&](std::string& o, int glob) {
    put(o, sf.pos(glob, 1) - nt.xo(glob));
    put(o, sf.pos(glob, 2) - nt.yo(glob));
    put(o, sf.pos(glob, 3));
  });
  array(out, "Int32", "fixed", 3, nt.nn, [&](std::string& o, int glob) {
    for (int axis = 1; axis <= 3; ++axis) put(o, static_cast<long long>(nt.fixed(glob, axis)));
  });
  array(out, "Float64", "point_load", 3, nt.nn, [&](std::string& o, int glob) {
    for (int axis = 1; axis <= 3; ++axis) put(o, nt.point(glob, axis));
  });
  array(out, "Float64", "n1", 1, nt.nn, [&](std::string& o, int glob) { put(o, f.node(glob, 1)); });
  array(out, "Float64", "n2", 1, nt.nn, [&](std::string& o, int glob) { put(o, f.node(glob, 2)); });
  for (const point_field& x : extra)
    array(out, "Float64", x.name.c_str(), 3, nt.nn, [&](std::string& o, int glob) {
      for (int axis = 1; axis <= 3; ++axis) put(o, x.value(glob, axis));
    });
  out += "</PointData>\n";
  out += "<CellData Scalars=\"n1\" Vectors=\"n1_direction\">\n";
  array(out, "Float64", "n11", 1, nt.ne, [&](std::string& o, int e) { put(o, f.tri(e).n11); });
  array(out, "Float64", "n22", 1, nt.ne, [&](std::string& o, int e) { put(o, f.tri(e).n22); });
  array(out, "Float64", "n12", 1, nt.ne, [&](std::string& o, int e) { put(o, f.tri(e).n12); });
  array(out, "Float64", "n1", 1, nt.ne, [&](std::string& o, int e) { put(o, f.tri(e).n1); });
  array(out, "Float64", "n2", 1, nt.ne, [&](std::string& o, int e) { put(o, f.tri(e).n2); });
  array(out, "Float64", "n1_direction", 3, nt.ne, [&](std::string& o, int e) {
    for (int axis = 1; axis <= 3; ++axis) put(o, f.tri(e).dir(axis));
  });
  array(out, "Float64", "area_ratio", 1, nt.ne, [&](std::string& o, int e) { put(o, f.tri(e).ratio); });
  double scale = force_scale(f);
  array(out, "UInt8", "tension", 1, nt.ne,
        [&](std::string& o, int e) { put(o, static_cast<long long>(in_tension(f.tri(e), scale) ? 1 : 0)); });
  out += "</CellData>\n";
  out += "<Points>\n";
  array(out, "Float64", "", 3, nt.nn, [&](std::string& o, int glob) {
    for (int axis = 1; axis <= 3; ++axis) put(o, sf.pos(glob, axis));
  });
  out += "</Points>\n";
  out += "<Cells>\n";
  array(out, "Int64", "connectivity", 1, nt.ne, [&](std::string& o, int e) {
    for (int loc = 1; loc <= 3; ++loc) put(o, static_cast<long long>(nt.tri(e)(loc) - 1));
  });
  array(out, "Int64", "offsets", 1, nt.ne, [&](std::string& o, int e) { put(o, 3LL * e); });
  array(out, "UInt8", "types", 1, nt.ne, [&](std::string& o, int) { put(o, 5LL); });
  out += "</Cells>\n";
  out += "</Piece>\n";
  out += "</UnstructuredGrid>\n";
  out += "</VTKFile>\n";
  return out;
}

}  // namespace domica
