// Forms as a designer asks for them, around any program's solution:
//
//   - the form of a given rise: the fictitious membrane stiffness `young` is
//     scaled (equivalently every load against it) until the rise, highest
//     minus lowest node as the summary measures it, is the one asked for;
//   - the upright compression shell of a hanging form: the supports at their
//     heights negated, the form found hanging under the downward loads, then
//     mirrored z -> -z, the surface, frames and normals made anew from the
//     mirrored positions and the membrane forces reversed (compression).
//
// Both take the program's solution as a function, so they serve each program
// and any library caller alike; they print nothing and report through the
// observer as the solutions do.
#pragma once

#include <optional>

#include "model/problem.h"
#include "solve/observer.h"
#include "solve/result.h"

namespace domica {

// A program's whole solution: solve_domica_1, solve_domica_2 or solve_domica_3.
using solve_fn = solution_result (*)(const problem&, const solve_options&, observer&);

// What the designer asks for besides the plain solution.
struct design_goal {
  std::optional<double> rise;  // the rise wanted (> 0, finite); none: young as given
  bool upright = false;        // the mirror of the hanging form
  double tolerance = 1e-4;     // absolute, on the rise
  int most_solutions = 30;     // solutions a rise search may make
  int most_expansions = 8;     // steps of up to a factor 1000 in young without a bracket
};

// The rise of a solution: the highest minus the lowest z of its nodes (0 for
// a net of no node).
double rise_of(const solution_result& r);

// The problem whose hanging form is the mirror of the upright shell of p:
// prescribed z values negated, and the horizontal point loads negated (the
// mirrored equilibrium with reversed forces carries the vertical loads as
// they are and the horizontal ones reversed). An upright shell carries loads
// that act downwards: an upward point load, a negative weight or a pressure
// that lifts the net (problem.h: pressure_lifts) is an input failure
// (exit_input) naming it.
problem hanging_problem(const problem& p);

// The upright shell of the hanging solution r of hanging_problem(p): the free
// z displacements negated, the surface made from the mirrored positions with
// the corner order of p (its normals point up, out of the shell, as those of
// a lifted form do), the highest and lowest node anew, and with opts.forces
// the forces of the mirrored surface reversed (mechanics/forces.h). Outcome,
// counts, seconds and the rise record are those of r.
solution_result upright_of(const problem& p, const solution_result& r, const solve_options& opts);

// The solution of p whose rise is *goal.rise to within goal.tolerance.
//
// The rise of a membrane goes roughly as the cube root of load over
// stiffness (Hencky's membrane; the same for a hanging net), so log(rise) is
// nearly linear in log(young) with slope -1/3. The search works on
// g(s) = log(rise / H) against s = log(young): a first step by that model
// from the file's young, then secant steps on the last two points while no
// root is bracketed (each at most a factor 1000 in young), and once it is,
// secant steps kept inside the bracket with regula falsi (the Illinois
// variant, Dowell and Jarratt 1971) and bisection when one end stays put.
// Each solution after the first starts (opts.start) from the found shape of
// the nearest young, its vertical displacements scaled by the model's change
// of rise; domica_3 then makes its full load in one load step (its steps
// only bring the follower pressure up from the flat plan), domica_2 starts
// flat and makes its steps.
//
// Inputs: solve (the program's solution), p, goal (rise, tolerance, bounds),
// opts (threads, forces, solver). Progress goes to obs as the solutions
// make it; their console lines and warnings are held and only those of the
// solution returned are handed on; obs.note() gets one line per solution.
// Returns that solution (of p with young scaled), its rise record filled,
// seconds the sum over all solutions, the forces when opts.forces asks.
//
// A rise that no positive young reaches (the rise does not change with young,
// or no bracket after goal.most_expansions steps: a net with no load, or
// prescribed heights that alone give a larger rise) is an input failure
// (exit_input); a search that does not meet the tolerance within
// goal.most_solutions (rises no sharper than the solutions' tolerance) is a
// solution failure. A failure of a solution ends the search with it.
solution_result solve_for_rise(solve_fn solve, const problem& p, const design_goal& goal, const solve_options& opts,
                               observer& obs);

// The solution of p as the goal asks: solve itself, solve_for_rise, the
// upright shell of the hanging form (upright_of of the solution of
// hanging_problem(p)), or the upright shell of a rise searched on the
// hanging form (mirroring keeps the rise).
solution_result solve_design(solve_fn solve, const problem& p, const design_goal& goal, const solve_options& opts,
                             observer& obs);

}  // namespace domica
