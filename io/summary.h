// The designer's summary of a found shell: a few lines for standard error
// (the rise and its ratio to the plan span, the largest tension and the
// largest compression with their triangles, the share of the surface in
// compression, and plain advice on the form), and the same figures with the
// run's own as summary.json.
#pragma once

#include <string>

#include "model/problem.h"
#include "model/surface.h"
#include "mechanics/forces.h"

namespace domica {

// The figures of a found shell.
struct shell_figures {
  double rise = 0.0;           // highest minus lowest z of all nodes
  double span = 0.0;           // longer side of the plan's bounding box
  int highest = 0, lowest = 0; // their nodes (0 for a net of no node)
  double top = 0.0, bottom = 0.0;
  int most = 0;                // triangle of the largest tension n1 (0: none is in tension)
  double tension = 0.0;        // its n1
  int least = 0;               // triangle of the largest compression n2 (0: none is in compression)
  double compression = 0.0;    // its n2
  int tension_triangles = 0;   // triangles with n1 a tension
  int mixed_triangles = 0;     // ... of them, those whose n2 is a compression
  double area = 0.0;           // found area
  double compressed = 0.0;     // found area of the triangles with no principal tension
  double mixed = 0.0;          // found area of the mixed triangles
  bool unloaded = false;       // no triangle carries any force (the plan of maxmajor 0): none is compressed
};

// Inputs:
//   nt  the net: nn plan nodes (xo, yo), ne triangles
//   sf  the found surface: nn x 3 positions
//   f   ne triangle forces
// Returns the figures. The rise counts every node, supports included (the
// lowest free node would move with the fineness of the net). A principal
// force counts as tension or compression beyond 1e-9 of the largest force
// (mechanics/forces.h: in_tension), so rounding noise is neither; a triangle
// is in compression where no principal force is a tension.
shell_figures figures(const net& nt, const surface& sf, const membrane_forces& f);

// What the summary says about the form besides its figures.
struct form_facts {
  bool lifted = false;    // a pressure lifts the net: an inflated form, upright as it stands
  bool upright = false;   // the mirror of a hanging form (--upright)
  int solutions = 0;      // > 0: a rise search made this many solutions ...
  double young = 0.0;     // ... and the results are of this young
};

// The lines, each ending in a line break.
std::string summary_text(const net& nt, const surface& sf, const membrane_forces& f, const form_facts& form = {});

// What summary.json says about the run itself.
struct run_facts {
  std::string program;          // "domica_3"
  bool converged = true;        // the last load step met its target
  int status = 0;               // the exit status of the run (0 or 1: results written)
  int steps = 0;                // load steps
  int unconverged_steps = 0;
  const char* counted = "";     // "minimiser_calls", "line_searches" or "newton_iterations"
  long long calls = 0;          // minimiser calls (0 for domica_2)
  long long iterations = 0;     // line searches or Newton iterations
  double norm = 0.0, target = 0.0;  // the final largest component and its target
  double seconds = 0.0;         // elapsed time of the solution(s)
  bool upright = false;
  bool rise_search = false;     // the facts below are those of a rise search
  double rise_target = 0.0, young = 0.0;
  int solutions = 0;
  long long all_iterations = 0; // over all its solutions
};

// The text of summary.json: one object with the run's facts and the shell's
// figures (names in the order written: program, outcome, exit_status,
// load_steps, unconverged_steps, minimiser_calls, iterations (with
// iterations_of naming what they count), final_norm, target, rise, span,
// highest and lowest ({node, z}), largest_tension and largest_compression
// ({triangle, n}, null when none), compression_share (0..1), mixed_share,
// upright, rise_search (null, or {target, young, solutions,
// iterations}), elapsed_seconds). A number that is not finite is a failed
// solution (exit_solution): JSON has no such number.
std::string summary_json(const run_facts& run, const shell_figures& fig);

// The figures of that summary, for a caller that shows them its own way
// (same inputs; triangles numbered 1..ne, 0 for none).
struct shell_summary {
  double top = 0.0, bottom = 0.0;  // highest and lowest z of all nodes
  double rise = 0.0, span = 0.0;
  int most = 0;                    // the triangle of the largest n1 ...
  bool tension = false;            // ... and whether that n1 is a tension
  int least = 0;                   // the triangle of the smallest n2 ...
  bool compression = false;        // ... and whether that n2 is a compression
  int stretched = 0;               // triangles in tension
  double area = 0.0, compressed = 0.0, stretched_area = 0.0;  // found areas: all, in compression, in tension
};
shell_summary summarise(const net& nt, const surface& sf, const membrane_forces& f);

}  // namespace domica
