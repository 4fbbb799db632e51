// Reading and meshing a plan in a process of its own, under limits: a
// damaged .msh or a hostile plan that crashes Gmsh, allocates without end or
// never finishes ends that process, not this one, and the tool says so in
// one line with status 2.
#pragma once

#include <functional>
#include <string>

namespace domica_mesh {

// The limits of the meshing process.
struct limits {
  double memory = 0.0;  // bytes of address space (0: none)
  int seconds = 0;      // of processor time and of wall-clock time (0: none)
};

// The default limits: 4 GB of address space or 80 % of the machine's memory
// if less (none under a sanitizer, whose shadow memory needs an unlimited
// address space), and 600 s.
limits default_limits();

// Runs make() in a child process under `lim`. make returns the net's text or
// throws netgen::tool_error (reported as "domica_mesh: MESSAGE", status 2).
// Inputs: plan (the file, for messages), make, lim. Output: text, the net.
// Returns 0 when text holds the net, else the status to end with (the line
// already on standard error): 2 for an error, a crash, the memory or the
// time limit of the child.
int contained(const std::string& plan, const std::function<std::string()>& make, const limits& lim, std::string& text);

}  // namespace domica_mesh
