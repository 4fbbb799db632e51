// The console programs' observer of a solution: the program's own lines on
// standard output, warnings, and the progress of the solution on standard
// error while it runs, then the summary of the run at its end.
//
// On a terminal (standard error a tty) one line is redrawn in place, at most a
// few times a second, and cleared at the end of each load step so that the
// program's own lines on standard output follow each other as before.
// Otherwise one line is written at the end of each load step. Quiet turns
// both the progress and the summary off; the program's lines and warnings
// stay.
//
// "ratio" below is the largest gradient (or out-of-balance) component over
// its target maxnorm: the step has converged when it is at most 1.
#pragma once

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "model/problem.h"
#include "solve/observer.h"
#include "solve/result.h"

namespace domica {

class console_observer : public observer {
 public:
  // variant names the program in warnings; quiet: no progress or summary;
  // on_start runs when the solution begins (the console probes its result
  // files there); lines go to `out` (standard output). The clock of the
  // summary starts here.
  console_observer(program variant, bool quiet, std::function<void()> on_start = {}, std::FILE* out = stdout);

  void started() override;
  void run(progress_kind kind, int steps) override;
  void step(int step) override;
  void iteration(int minor, double norm, double maxnorm) override;
  bool due() override;
  void search(double norm, double maxnorm) override;
  void step_end(double norm, double maxnorm) override;
  void note(const std::string& line) override;
  void line(const std::string& text) override;
  void warning(const std::string& text) override;

  // Clear the terminal line before an unexpected end of the run.
  void clear();

  // The summary of the run on standard error: converged or not with the
  // final ratio, the load steps, the minimiser or Newton iterations, the
  // highest and lowest node of the found surface and the time since the
  // observer was made.
  void summary(const solution_result& r);

 private:
  using clock_type = std::chrono::steady_clock;
  double seconds() const;
  void draw(const std::string& text);
  bool redraw_due() const;
  const char* measure() const;
  std::string against_target(double norm, double maxnorm) const;
  std::string short_step() const;
  std::string short_target(double norm, double maxnorm) const;

  program variant_;
  bool on_ = false;                // progress and summary shown
  bool tty_ = false;               // standard error is a terminal
  bool drawn_ = false;             // a terminal line is showing
  std::function<void()> on_start_;
  std::FILE* out_;
  progress_kind kind_ = progress_kind::minimiser_calls;
  int steps_ = 0, step_ = 0;       // load steps of the run, the current one
  int count_ = 0;                  // minimiser calls or Newton iterations in the step
  long long minor_ = 0;            // over the run: line searches or Newton iterations
  long long evaluations_ = 0;      // energy evaluations in the current minimiser call
  clock_type::time_point start_, drawn_at_;
};

}  // namespace domica
