// makenet: writes a weblar.txt problem file for a generated net on standard output.
//
//   makenet rect key=value ...   rectangular plan, (nx+1) x (ny+1) nodes
//   makenet disc key=value ...   circular plan, a centre node and `rings` rings of 6k nodes
//
// Keys (defaults in brackets):
//   program   1, 2 or 3: which program's parameter blocks to write [3]
//   nx, ny, lx, ly         rectangle: cells and side lengths [8, 8, 10, 10]
//   rings, radius          disc: rings and radius [6, 10]
//   support   corners | edges (rect), edges (disc): supported nodes, fixed in x, y, z [edges]
//   heights   h1,h2,h3,h4: prescribed z of the four rectangle corners [0,0,0,0]
//   load      vertical point load at the node nearest the centre [0]
//   young, poisson, thickness, weight, pressure   material and loads [1000, 0.3, 0.1, 0, 0]
//   lstol, maxls, mntol, maxminor, maxmajor, maxlist   solver parameters [0.9, 10, 1e-6, 1000, 4, 8]
// All triangles run anticlockwise seen from above, so a negative pressure lifts the net.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

struct node {
  double x, y;
};
struct tri {
  int a, b, c;
};
struct fix {
  int glob, axis;
  double value;
};

std::map<std::string, std::string> keys;

double real(const char* key, double fallback) {
  auto it = keys.find(key);
  return it == keys.end() ? fallback : std::atof(it->second.c_str());
}
int integer(const char* key, int fallback) {
  auto it = keys.find(key);
  return it == keys.end() ? fallback : std::atoi(it->second.c_str());
}
std::string text(const char* key, const char* fallback) {
  auto it = keys.find(key);
  return it == keys.end() ? fallback : it->second;
}

void fix_all(std::vector<fix>& fixed, int glob, double z) {
  fixed.push_back({glob, 1, 0.0});
  fixed.push_back({glob, 2, 0.0});
  fixed.push_back({glob, 3, z});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || (std::string(argv[1]) != "rect" && std::string(argv[1]) != "disc")) {
    std::fprintf(stderr, "usage: makenet rect|disc [key=value ...]\n");
    return 2;
  }
  std::string shape = argv[1];
  for (int i = 2; i < argc; ++i) {
    std::string arg = argv[i];
    auto eq = arg.find('=');
    if (eq == std::string::npos) {
      std::fprintf(stderr, "makenet: expected key=value, found \"%s\"\n", argv[i]);
      return 2;
    }
    keys[arg.substr(0, eq)] = arg.substr(eq + 1);
  }
  int program = integer("program", 3);
  std::vector<node> nodes;
  std::vector<tri> tris;
  std::vector<fix> fixed;
  int centre = 1;

  if (shape == "rect") {
    int nx = integer("nx", 8), ny = integer("ny", 8);
    double lx = real("lx", 10), ly = real("ly", 10);
    auto id = [nx](int i, int j) { return j * (nx + 1) + i + 1; };
    for (int j = 0; j <= ny; ++j)
      for (int i = 0; i <= nx; ++i) nodes.push_back({lx * i / nx - lx / 2, ly * j / ny - ly / 2});
    for (int j = 0; j < ny; ++j)
      for (int i = 0; i < nx; ++i) {
        int n00 = id(i, j), n10 = id(i + 1, j), n01 = id(i, j + 1), n11 = id(i + 1, j + 1);
        // Diagonals alternate so that the net is symmetric about both axes.
        bool flip = (i < nx / 2) != (j < ny / 2);
        if (!flip) {
          tris.push_back({n00, n10, n11});
          tris.push_back({n00, n11, n01});
        } else {
          tris.push_back({n00, n10, n01});
          tris.push_back({n10, n11, n01});
        }
      }
    centre = id(nx / 2, ny / 2);
    double h[4] = {0, 0, 0, 0};
    std::sscanf(text("heights", "0,0,0,0").c_str(), "%lf,%lf,%lf,%lf", &h[0], &h[1], &h[2], &h[3]);
    if (text("support", "edges") == "corners") {
      fix_all(fixed, id(0, 0), h[0]);
      fix_all(fixed, id(nx, 0), h[1]);
      fix_all(fixed, id(nx, ny), h[2]);
      fix_all(fixed, id(0, ny), h[3]);
    } else {
      for (int j = 0; j <= ny; ++j)
        for (int i = 0; i <= nx; ++i)
          if (i == 0 || j == 0 || i == nx || j == ny) fix_all(fixed, id(i, j), 0.0);
    }
  } else {
    int rings = integer("rings", 6);
    double radius = real("radius", 10);
    const double pi = 3.14159265358979323846;
    nodes.push_back({0.0, 0.0});
    auto first = [](int k) { return k == 0 ? 1 : 2 + 3 * k * (k - 1); };  // number of ring k's node 0
    for (int k = 1; k <= rings; ++k)
      for (int j = 0; j < 6 * k; ++j) {
        double angle = 2 * pi * j / (6 * k);
        double r = radius * k / rings;
        nodes.push_back({r * std::cos(angle), r * std::sin(angle)});
      }
    for (int k = 1; k <= rings; ++k) {
      int outer = first(k), inner = first(k - 1), no = 6 * k, ni = 6 * (k - 1);
      auto o = [&](int t) { return outer + (t % no); };
      auto in = [&](int t) { return ni == 0 ? inner : inner + (t % ni); };
      for (int s = 0; s < 6; ++s) {
        for (int t = 0; t < k; ++t) tris.push_back({o(s * k + t), o(s * k + t + 1), in(s * (k - 1) + t)});
        for (int t = 0; t + 1 < k; ++t) tris.push_back({in(s * (k - 1) + t), o(s * k + t + 1), in(s * (k - 1) + t + 1)});
      }
    }
    for (int j = 0; j < 6 * rings; ++j) fix_all(fixed, first(rings) + j, 0.0);
  }

  std::printf("Generated by makenet %s\n", shape.c_str());
  std::printf(": solver parameters\n");
  double lstol = real("lstol", 0.9), mntol = real("mntol", 1e-6);
  int maxls = integer("maxls", 10), maxminor = integer("maxminor", 1000), maxmajor = integer("maxmajor", 4),
      maxlist = integer("maxlist", 8);
  if (program == 3)
    std::printf("%g %d %g %d %d %d   lstol maxls mntol maxminor maxmajor maxlist\n", lstol, maxls, mntol, maxminor, maxmajor, maxlist);
  else if (program == 1)
    std::printf("%g %d %g %d %d   lstol maxls mntol maxminor maxlist\n", lstol, maxls, mntol, maxminor, maxlist);
  else
    std::printf("%g %d %d   mntol maxminor maxmajor\n", mntol, maxminor, maxmajor);
  std::printf(": material and loads\n");
  double young = real("young", 1000), poisson = real("poisson", 0.3), thickness = real("thickness", 0.1),
         weight = real("weight", 0), pressure = real("pressure", 0);
  if (program == 1)
    std::printf("%.17g %.17g %.17g %.17g   young poisson thickness weight\n", young, poisson, thickness, weight);
  else
    std::printf("%.17g %.17g %.17g %.17g %.17g   young poisson thickness weight pressure\n", young, poisson, thickness, weight, pressure);
  std::printf(": nodes\n%zu\n   node  x  y\n", nodes.size());
  for (std::size_t i = 0; i < nodes.size(); ++i) std::printf("%zu %.17g %.17g\n", i + 1, nodes[i].x, nodes[i].y);
  std::printf(": triangles\n%zu\n   element  node1 node2 node3\n", tris.size());
  for (std::size_t e = 0; e < tris.size(); ++e) std::printf("%zu %d %d %d\n", e + 1, tris[e].a, tris[e].b, tris[e].c);
  std::printf(": fixed coordinates\n%zu\n   node axis value\n", fixed.size());
  for (const fix& f : fixed) std::printf("%d %d %.17g\n", f.glob, f.axis, f.value);
  double load = real("load", 0);
  std::printf(": point loads\n%d\n", load != 0 ? 1 : 0);
  if (load != 0) std::printf("   node axis load\n%d 3 %.17g\n", centre, load);
  return 0;
}
