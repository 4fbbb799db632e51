// What a solution tells while it runs. A solution calls these hooks at each
// point named below and never prints, so any caller decides what becomes of
// them: the console programs print today's lines (app/console.h), a library
// caller may log, draw or ignore them. Every hook does nothing by default.
//
// "norm" below is the largest gradient (or out-of-balance) component and
// "maxnorm" its target: a load step has converged when norm <= maxnorm.
#pragma once

#include <string>

namespace domica {

// What a program counts inside a load step.
enum class progress_kind {
  minimiser_calls,     // domica_3: minimiser calls, each of many line searches
  line_searches,       // domica_1: one long minimisation
  newton_iterations,   // domica_2: Newton iterations
};

class observer {
 public:
  virtual ~observer() = default;

  // The set-up is done and checked; the solution begins. A caller may throw
  // here (a failure) to end the run before any solving, as the console
  // programs do when a result file could not be written.
  virtual void started() {}

  // The solution's kind and its number of load steps.
  virtual void run(progress_kind, int /*steps*/) {}

  // The most minimiser calls or Newton iterations a load step may take
  // (0: not limited in calls, as domica_1's one minimisation); after run().
  virtual void limit(int /*most*/) {}

  // Load step `step` (1..steps) begins.
  virtual void step(int /*step*/) {}

  // One minimiser call (of `minor` line searches) or one Newton iteration
  // (minor = 1) ended.
  virtual void iteration(int /*minor*/, double /*norm*/, double /*maxnorm*/) {}

  // Inside a minimiser call, once per energy evaluation: whether the caller
  // wants the gradient now (search() then follows).
  virtual bool due() { return false; }
  virtual void search(double /*norm*/, double /*maxnorm*/) {}

  // The load step ends.
  virtual void step_end(double /*norm*/, double /*maxnorm*/) {}

  // A remark about the run for the person watching (the linear solver chosen).
  virtual void note(const std::string& /*line*/) {}

  // The program's own console line (standard output in the console
  // programs), with its line break: "Major = ...", "Line Search Failure".
  virtual void line(const std::string& /*text*/) {}

  // Something the user should know; the run goes on.
  virtual void warning(const std::string& /*text*/) {}
};

}  // namespace domica
