// The console programs' observer of a solution: the program's own lines on
// standard output, warnings, and the progress of the solution on standard
// error while it runs, then the summary of the run at its end.
//
// On a terminal (standard error a tty) one line is redrawn in place, at most
// four times a second, and cleared at the end of each load step so that the
// program's own lines on standard output follow each other as before.
// Otherwise (a pipe, a log file) a line is written whenever 10 s have passed
// since the last one, at the next energy evaluation or Newton iteration, and
// one at the end of each load step. Quiet turns both the progress and the
// summary off; the program's lines and warnings stay.
//
// "ratio" below is the largest gradient (or out-of-balance) component over
// its target maxnorm: the step has converged when it is at most 1. The
// progress shows the best (smallest) ratio met so far in the current
// minimiser call (domica_3) or load step (domica_1, domica_2), which only
// falls, the load step and the minimiser call or Newton iteration out of
// their limits, and an estimate of the time to the target: the logarithm of
// the best ratio is taken to fall on at its mean rate since the call or step
// began, so the time left is ln(best) over that rate (shown once the ratio
// has fallen for at least a second and is still above 1).
#pragma once

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

  // The same with the progress stream `err`, whether it is a terminal, and
  // the clock (seconds from any fixed origin) given, as the tests do.
  console_observer(program variant, bool quiet, std::function<void()> on_start, std::FILE* out, std::FILE* err, bool tty,
                   std::function<double()> clock);

  void started() override;
  void run(progress_kind kind, int steps) override;
  void limit(int most) override;
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
  double seconds() const;
  void draw(const std::string& text);
  void print(const std::string& line);
  bool redraw_due() const;
  void seen(double norm, double maxnorm);
  void restart_best();
  const char* measure() const;
  std::string against_target(double norm, double maxnorm) const;
  std::string short_step() const;
  std::string where() const;
  std::string short_best() const;
  std::string time_left() const;
  void report(const std::string& what);

  program variant_;
  bool on_ = false;                // progress and summary shown
  bool tty_ = false;               // the progress stream is a terminal
  bool drawn_ = false;             // a terminal line is showing
  std::function<void()> on_start_;
  std::FILE* out_;
  std::FILE* err_;
  std::function<double()> clock_;  // seconds
  progress_kind kind_ = progress_kind::minimiser_calls;
  int steps_ = 0, step_ = 0;       // load steps of the run, the current one
  int most_ = 0;                   // minimiser calls or Newton iterations a step may take (0: no limit told)
  int count_ = 0;                  // minimiser calls or Newton iterations in the step
  long long minor_ = 0;            // over the run: line searches or Newton iterations
  long long evaluations_ = 0;      // energy evaluations in the current minimiser call
  double start_ = 0.0, drawn_at_ = 0.0, printed_at_ = 0.0;
  // The best ratio of the current call or step, the first ratio met in it and when.
  double best_ = 0.0, first_ = 0.0, first_at_ = 0.0;
  bool have_best_ = false;
};

}  // namespace domica
