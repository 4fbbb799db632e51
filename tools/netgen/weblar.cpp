#include "tools/netgen/weblar.h"

#include <charconv>

namespace netgen {

std::string shortest(double v) {
  if (v == 0.0) return "0";
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, ec == std::errc() ? end : buf);
}

std::string weblar_text(const net& n, const parameters& p) {
  std::string s = n.title + "\n: solver parameters\n";
  auto put = [&s](const std::string& word) { s += word + " "; };
  auto num = [](int i) { return std::to_string(i); };
  if (p.program != 2) {
    put(shortest(p.lstol));
    put(num(p.maxls));
  }
  put(shortest(p.mntol));
  put(num(p.maxminor));
  if (p.program != 1) put(num(p.maxmajor));
  if (p.program != 2) put(num(p.maxlist));
  s += p.program == 3   ? "  lstol maxls mntol maxminor maxmajor maxlist\n"
       : p.program == 1 ? "  lstol maxls mntol maxminor maxlist\n"
                        : "  mntol maxminor maxmajor\n";
  s += ": material and loads\n";
  put(shortest(p.young));
  put(shortest(p.poisson));
  put(shortest(p.thickness));
  put(shortest(p.weight));
  if (p.program != 1) put(shortest(p.pressure));
  s += p.program == 1 ? "  young poisson thickness weight\n" : "  young poisson thickness weight pressure\n";
  s += ": nodes\n" + num(static_cast<int>(n.nodes.size())) + "\n   node  x  y\n";
  for (std::size_t i = 0; i < n.nodes.size(); ++i)
    s += num(static_cast<int>(i + 1)) + " " + shortest(n.nodes[i].x) + " " + shortest(n.nodes[i].y) + "\n";
  s += ": triangles\n" + num(static_cast<int>(n.triangles.size())) + "\n   element  node1 node2 node3\n";
  for (std::size_t e = 0; e < n.triangles.size(); ++e) {
    const triangle& t = n.triangles[e];
    s += num(static_cast<int>(e + 1)) + " " + num(t[0] + 1) + " " + num(t[1] + 1) + " " + num(t[2] + 1) + "\n";
  }
  s += ": fixed coordinates\n" + num(static_cast<int>(n.fixed.size())) + "\n   node axis value\n";
  for (const fixed_coordinate& f : n.fixed) s += num(f.node + 1) + " " + num(f.axis) + " " + shortest(f.value) + "\n";
  s += ": point loads\n" + num(static_cast<int>(n.loads.size())) + "\n   node axis load\n";
  for (const point_load& l : n.loads) s += num(l.node + 1) + " " + num(l.axis) + " " + shortest(l.force) + "\n";
  return s;
}

}  // namespace netgen
