// Progress of a solution on standard error while it runs, and the summary of
// the run at its end. Standard output is never touched.
//
// One record per process holds the state, so the drivers need only a hook
// call at each point below; until progress_open is called every hook does
// nothing (the solver tests call the solve steps directly and stay silent).
//
// On a terminal (standard error a tty) one line is redrawn in place, at most a
// few times a second, and cleared at the end of each load step so that the
// program's own lines on standard output follow each other as before.
// Otherwise one line is written at the end of each load step. --quiet turns
// both the progress and the summary off.
//
// "ratio" below is the largest gradient (or out-of-balance) component over
// its target maxnorm: the step has converged when it is at most 1.
#pragma once

#include <string>

#include "model/surface.h"

namespace domica {

// What a program counts inside a load step.
enum class progress_kind {
  minimiser_calls,     // domica_3: minimiser calls, each of many line searches
  line_searches,       // domica_1: one long minimisation
  newton_iterations,   // domica_2: Newton iterations
};

// Start the record (and its clock) for a run; quiet: report nothing.
void progress_open(bool quiet);

// The solution begins: its kind and its number of load steps.
void progress_run(progress_kind kind, int steps);

// Load step `step` (1..steps) begins.
void progress_step(int step);

// One minimiser call (of `minor` line searches) or one Newton iteration
// (minor = 1) ended with the largest component `norm` against `maxnorm`.
void progress_iteration(int minor, double norm, double maxnorm);

// Inside a minimiser call, once per energy evaluation: true when the terminal
// line is due for a redraw (then call progress_search with the gradient).
bool progress_due();
void progress_search(double norm, double maxnorm);

// The load step ends with the largest component `norm` against `maxnorm`:
// its line (not a terminal) or the cleared line (a terminal).
void progress_step_end(double norm, double maxnorm);

// One line about the run (such as the linear solver chosen), written at once.
void progress_note(const std::string& line);

// Clear the terminal line before an unexpected end of the run.
void progress_clear();

// The summary of the run: converged or not with the final ratio, the load
// steps, the minimiser or Newton iterations, the highest and lowest node of
// the found surface sf (nn x 3 positions) and the time since progress_open.
void progress_summary(const surface& sf);

}  // namespace domica
