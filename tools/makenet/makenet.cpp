// makenet: writes the weblar.txt of a net on a simple plan to standard output.
//
//   makenet SHAPE [key=value ...] [--band]
//   makenet --help | --version
//
// Every key is checked: an unknown key, a malformed value or one out of range
// ends makenet with status 2 and the usage text on standard error, nothing
// written. The keys and their defaults are listed in `usage` below and in the
// README. Nodes are numbered by reverse Cuthill-McKee unless numbering=rings.
//
// 1. Read the options and keys.
// 2. Build the plan of the shape.
// 3. Put supports and the point load on it.
// 4. Number the nodes and write the file.
#include <cstdio>
#include <string>
#include <vector>

#include "domica/version.h"
#include "tools/makenet/outline.h"
#include "tools/makenet/plans.h"
#include "tools/netgen/keys.h"
#include "tools/netgen/numbering.h"
#include "tools/netgen/parameters.h"
#include "tools/netgen/weblar.h"

namespace {

const char* const usage_head =
    "usage: makenet SHAPE [key=value ...] [--band] > weblar.txt\n"
    "       makenet -h | --help | --version\n"
    "shapes and their keys [defaults]:\n"
    "  rect     nx=8 ny=8 lx=10 ly=10   rectangle of nx by ny cells, sides lx, ly\n"
    "           support=edges|corners\n"
    "  disc     rings=6 radius=10       circle: a centre node and rings of 6k nodes\n"
    "  ellipse  rings=6 a=10 b=5        ellipse with semi-axes a (x) and b (y)\n"
    "  polygon  sides=6 radius=10 rings=6  regular polygon, corners on the radius\n"
    "           support=edges|corners\n"
    "  outline  points=FILE divisions=4 plan inside the outline of FILE (\"x y\"\n"
    "           lines), each triangle split in divisions^2\n"
    "           support=edges|corners (corners: the listed points)\n"
    "keys of every shape:\n"
    "  support=edges     supported nodes, fixed in x, y and z [edges]\n"
    "  height=H          z of every support (a level edge or level corners) [0]\n"
    "  heights=h1,h2,... z of each corner support with support=corners, one per\n"
    "                    corner (rect: anticlockwise from (-lx/2, -ly/2)) [0,...]\n"
    "                    (not with program=2: domica_2 keeps supports at the plan)\n"
    "  load=R            vertical point load at the node nearest the centre [0]\n"
    "  numbering=rcm|rings  node order: reverse Cuthill-McKee, or the order the\n"
    "                    shape is built in (rows, or rings from the centre) [rcm]\n";
const char* const usage_tail =
    "  --band            the node band of the numbering on standard error\n"
    "Exit status: 0 success, 2 a bad command line or key, or an outline file\n"
    "that cannot be read, 4 standard output could not be written.\n";

void usage(std::FILE* to) { std::fprintf(to, "%s%s%s", usage_head, netgen::parameter_usage, usage_tail); }

void fix_all(netgen::net& n, int node, double z) {
  n.fixed.push_back({node, 1, 0.0});
  n.fixed.push_back({node, 2, 0.0});
  n.fixed.push_back({node, 3, z});
}

// Plans above this size would not fit the memory of any of the programs.
const long long most_nodes = 10000000;

void check_size(long long nodes) {
  if (nodes > most_nodes)
    throw netgen::tool_error{"the net would have " + std::to_string(nodes) + " nodes, more than " +
                                 std::to_string(most_nodes), true};
}

// The corner heights of heights=h1,h2,... : exactly `count` numbers.
std::vector<double> heights_of(const netgen::keys& k, std::size_t count) {
  std::vector<double> h;
  const std::string& given = k.given.at("heights");
  std::string rest = given + ",";
  auto wrong = [&] {
    return netgen::tool_error{"heights: expected " + std::to_string(count) + " numbers h1,h2,... (one per corner), found \"" +
                                  given + "\"", true};
  };
  while (!rest.empty()) {
    std::size_t comma = rest.find(',');
    netgen::keys one;
    one.given["heights"] = rest.substr(0, comma);
    if (one.given["heights"].empty()) throw wrong();
    h.push_back(netgen::real_key(one, "heights", 0.0, netgen::any_real()));
    rest = rest.substr(comma + 1);
  }
  if (h.size() != count) throw wrong();
  return h;
}

int run(const std::vector<std::string>& args) {
  // 1. Read the options and keys.
  bool band = false;
  std::vector<std::string> words;
  if (netgen::tool_options(args, "makenet", usage, band, words)) return 0;
  if (words.empty()) throw netgen::tool_error{"no shape given", true};
  const std::string shape = words[0];
  std::vector<std::string> own, supports = {"edges"};
  if (shape == "rect") own = {"nx", "ny", "lx", "ly"}, supports = {"edges", "corners"};
  else if (shape == "disc") own = {"rings", "radius"};
  else if (shape == "ellipse") own = {"rings", "a", "b"};
  else if (shape == "polygon") own = {"sides", "radius", "rings"}, supports = {"edges", "corners"};
  else if (shape == "outline") own = {"points", "divisions"}, supports = {"edges", "corners"};
  else throw netgen::tool_error{"unknown shape \"" + shape + "\"", true};
  netgen::keys k;
  netgen::parse_keys(std::vector<std::string>(words.begin() + 1, words.end()), k);
  std::vector<std::string> allowed = own;
  for (const char* common : {"support", "load", "numbering", "height", "heights"}) allowed.push_back(common);
  for (const std::string& name : netgen::parameter_keys()) allowed.push_back(name);
  netgen::check_known(k, allowed, shape);
  netgen::parameters par;
  netgen::read_parameters(k, par);
  std::string support = netgen::word_key(k, "support", "edges", supports);
  double load = netgen::real_key(k, "load", 0.0, netgen::any_real());
  std::string numbering = netgen::word_key(k, "numbering", "rcm", {"rcm", "rings"});
  double height = netgen::real_key(k, "height", 0.0, netgen::any_real());
  if (netgen::has_key(k, "height") && netgen::has_key(k, "heights"))
    throw netgen::tool_error{"give height (every support at one level) or heights (one per corner), not both", true};
  if (netgen::has_key(k, "heights") && support != "corners")
    throw netgen::tool_error{"heights are the z of the corner supports: give support=corners (or height=H for the edges)", true};
  // domica_2 reads no prescribed values: its fixed coordinates stay at the plan.
  if (par.program == 2 && (netgen::has_key(k, "height") || netgen::has_key(k, "heights")))
    throw netgen::tool_error{"domica_2 keeps fixed coordinates at the plan (it reads no prescribed values): "
                             "height and heights need program=1 or program=3"};

  // 2. Build the plan of the shape.
  makenet::plan p;
  const int most = 1000000;
  if (shape == "rect") {
    int nx = netgen::int_key(k, "nx", 8, 1, most), ny = netgen::int_key(k, "ny", 8, 1, most);
    check_size(static_cast<long long>(nx + 1) * (ny + 1));
    double lx = netgen::real_key(k, "lx", 10, netgen::positive()), ly = netgen::real_key(k, "ly", 10, netgen::positive());
    makenet::rect_plan(nx, ny, lx, ly, p);
  } else if (shape == "disc" || shape == "ellipse" || shape == "polygon") {
    int sides = shape == "polygon" ? netgen::int_key(k, "sides", 6, 3, most) : 6;
    int rings = netgen::int_key(k, "rings", 6, 1, most);
    check_size(1 + static_cast<long long>(sides) * rings * (rings + 1) / 2);
    if (shape == "disc") makenet::disc_plan(rings, netgen::real_key(k, "radius", 10, netgen::positive()), p);
    else if (shape == "ellipse")
      makenet::ellipse_plan(rings, netgen::real_key(k, "a", 10, netgen::positive()),
                            netgen::real_key(k, "b", 5, netgen::positive()), p);
    else makenet::polygon_plan(sides, rings, netgen::real_key(k, "radius", 10, netgen::positive()), p);
  } else {
    if (!netgen::has_key(k, "points")) throw netgen::tool_error{"outline needs points=FILE", true};
    int divisions = netgen::int_key(k, "divisions", 4, 1, 1000);
    std::vector<netgen::plan_node> points;
    makenet::read_outline(k.given.at("points"), points);
    check_size(static_cast<long long>(points.size()) * divisions * divisions);
    makenet::outline_plan(points, divisions, p);
  }

  // 3. Put supports and the point load on it.
  netgen::net& n = p.n;
  std::string title = "Generated by makenet";
  for (const std::string& w : words) title += " " + w;
  n.title = title;
  if (support == "corners") {
    std::vector<double> h = netgen::has_key(k, "heights") ? heights_of(k, p.corners.size())
                                                          : std::vector<double>(p.corners.size(), height);
    for (std::size_t c = 0; c < p.corners.size(); ++c) fix_all(n, p.corners[c], h[c]);
  } else {
    for (int node : p.edge) fix_all(n, node, height);
  }
  if (load != 0) n.loads.push_back({p.centre, 3, load});

  // 4. Number the nodes and write the file.
  std::vector<int> order(n.nodes.size());
  if (numbering == "rcm") netgen::rcm_order(static_cast<int>(n.nodes.size()), n.triangles, order);
  else
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  netgen::renumber(order, n);
  if (band) {
    int b = netgen::node_band(n.triangles);
    std::fprintf(stderr, "makenet: node band %d (tangent band %d unknowns)\n", b, 3 * b + 2);
  }
  std::string text = netgen::weblar_text(n, par);
  return netgen::put_text("makenet", text);
}

}  // namespace

int main(int argc, char** argv) { return netgen::tool_main("makenet", argc, argv, run, usage); }
