// domica_mesh: writes the weblar.txt of a plan drawn in Gmsh.
//
//   domica_mesh PLAN.geo|PLAN.msh [key=value ...] [--band] [--trust-plan]
//   domica_mesh --help | --version
//
// The net is made of the triangles of the plan's physical surfaces (of all
// surfaces when there is none); point and curve groups named "fixed",
// "fixed z", "fixed x y", "height 1.2" or "load z -5" give the supports and
// point loads.
// Parameter keys as in makenet; size=R meshes a .geo plan with that size;
// out=FILE writes the file there instead of standard output.
// A plan is data: its commands that would run a program, touch a file or end
// the tool are refused (guard.h) unless --trust-plan.
//
// 1. Read the options and keys.
// 2. Read and mesh the plan.
// 3. Put the groups' supports and loads on the net.
// 4. Number the nodes and write the file.
// Steps 2 to 4 run in a child process under memory and time limits.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "domica/version.h"
#include "io/outfile.h"
#include "model/failure.h"
#include <unistd.h>

#include "tools/domica_mesh/contain.h"
#include "tools/domica_mesh/groups.h"
#include "tools/domica_mesh/plan.h"
#include "tools/netgen/keys.h"
#include "tools/netgen/numbering.h"
#include "tools/netgen/parameters.h"
#include "tools/netgen/weblar.h"

#if defined(__SANITIZE_ADDRESS__)
// Gmsh 4.8 keeps some of what it parsed from a faulty .geo after it reports
// the error; those leaks are Gmsh's own, not this program's.
extern "C" const char* __lsan_default_suppressions() { return "leak:libgmsh.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
#endif

namespace {

const char* const usage_head =
    "usage: domica_mesh PLAN.geo|PLAN.msh [key=value ...] [--band] [--trust-plan] > weblar.txt\n"
    "       domica_mesh -h | --help | --version\n"
    "The net is made of the triangles of the plan's physical surfaces (of all\n"
    "surfaces when there is none). Point and curve groups name supports and loads:\n"
    "  fixed             fixes x, y and z of every node of the group\n"
    "  fixed z, fixed x y  fixes only the axes named\n"
    "  height 1.2        fixes x, y and z, z at the height 1.2 (not with program=2)\n"
    "  load z -5         a point load of -5 along z on every node of the group\n"
    "Keys [defaults]:\n"
    "  size=R            mesh size of a .geo plan [from the .geo]\n"
    "  out=FILE          write the file there instead of standard output\n"
    "  numbering=rcm|gmsh  node order: reverse Cuthill-McKee, or Gmsh's [rcm]\n";
const char* const usage_tail =
    "  --band            the node band of the numbering on standard error\n"
    "  --trust-plan      runs the plan's commands as written; without it a plan\n"
    "                    that would run a program, read or write a file other than\n"
    "                    an Include beside it, or end the tool is refused\n"
    "Exit status: 0 success, 2 a bad command line or key, or a plan that\n"
    "cannot be read or meshed, 4 the file could not be written.\n";

void usage(std::FILE* to) { std::fprintf(to, "%s%s%s", usage_head, netgen::parameter_usage, usage_tail); }

// Set once the run has ended its own way: Gmsh ends the process on a plan's
// Exit, which must not pass for success.
bool finished = false;

void exit_in_plan() {
  if (finished) return;
  std::fprintf(stderr, "domica_mesh: the plan ended the tool (Exit) before the net was written\n");
  std::fflush(stderr);
  ::_exit(2);
}

int run(const std::vector<std::string>& all) {
  // 1. Read the options and keys.
  bool band = false, trust = false;
  std::vector<std::string> args, words;
  for (const std::string& a : all) {
    if (a == "--trust-plan") trust = true;
    else args.push_back(a);
  }
  if (netgen::tool_options(args, "domica_mesh", usage, band, words)) return 0;
  if (words.empty()) throw netgen::tool_error{"no plan file given", true};
  const std::string path = words[0];
  if (path.find('=') != std::string::npos) throw netgen::tool_error{"the plan file comes first, found \"" + path + "\"", true};
  netgen::keys k;
  netgen::parse_keys(std::vector<std::string>(words.begin() + 1, words.end()), k);
  std::vector<std::string> allowed = {"size", "out", "numbering"};
  for (const std::string& name : netgen::parameter_keys()) allowed.push_back(name);
  netgen::check_known(k, allowed, "domica_mesh");
  netgen::parameters par;
  netgen::read_parameters(k, par);
  double size = netgen::real_key(k, "size", 0.0, netgen::positive());
  std::string numbering = netgen::word_key(k, "numbering", "rcm", {"rcm", "gmsh"});

  // 2. to 4. run in a process of their own under limits (contain.h): Gmsh
  // crashing on a damaged file, or a plan that never ends, ends only that.
  auto make = [&] {
    // 2. Read and mesh the plan.
    domica_mesh::plan p;
    std::atexit(exit_in_plan);
    domica_mesh::read_plan(path, size, trust, p);

    // 3. Put the groups' supports and loads on the net.
    domica_mesh::apply_groups(path, p, par.program);
    std::string title = "Generated by domica_mesh from";
    for (const std::string& w : words) title += " " + w;
    p.n.title = title;

    // 4. Number the nodes and make the file's text.
    std::vector<int> order(p.n.nodes.size());
    if (numbering == "rcm") netgen::rcm_order(static_cast<int>(p.n.nodes.size()), p.n.triangles, order);
    else
      for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    netgen::renumber(order, p.n);
    if (band) {
      int b = netgen::node_band(p.n.triangles);
      std::fprintf(stderr, "domica_mesh: node band %d (tangent band %d unknowns)\n", b, 3 * b + 2);
    }
    std::string net = netgen::weblar_text(p.n, par);
    return net;
  };
  std::string text;
  if (int status = domica_mesh::contained(path, make, domica_mesh::default_limits(), text)) return status;
  if (netgen::has_key(k, "out")) {
    // A temporary file of its own beside the target, synced and renamed over
    // it: a link there is replaced, never written through.
    const std::string& out = k.given.at("out");
    try {
      domica::write_file(out, out, text);
    } catch (const domica::failure& e) {
      std::fprintf(stderr, "domica_mesh: %s\n", e.what());
      return 4;
    }
    return 0;
  }
  return netgen::put_text("domica_mesh", text);
}

}  // namespace

int main(int argc, char** argv) {
  int status = netgen::tool_main("domica_mesh", argc, argv, run, usage);
  finished = true;
  return status;
}
