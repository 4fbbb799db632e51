#include "app/console.h"

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "app/warning.h"

namespace domica {

namespace {

std::string printed(const char* format, double a, double b = 0.0) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, a, b);
  return buf;
}

double steady_seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// "40 s", "12 min", "3.5 h".
std::string duration_text(double s) {
  if (s < 100.0) return printed("%.0f s", s);
  if (s < 6000.0) return printed("%.0f min", s / 60.0);
  return printed("%.1f h", s / 3600.0);
}

constexpr double redraw_seconds = 0.25;  // on a terminal
constexpr double line_seconds = 10.0;    // elsewhere

}  // namespace

console_observer::console_observer(program variant, bool quiet, std::function<void()> on_start, std::FILE* out)
    : console_observer(variant, quiet, std::move(on_start), out, stderr, isatty(2) != 0, steady_seconds) {}

console_observer::console_observer(program variant, bool quiet, std::function<void()> on_start, std::FILE* out, std::FILE* err,
                                   bool tty, std::function<double()> clock)
    : variant_(variant), on_(!quiet), tty_(tty), on_start_(std::move(on_start)), out_(out), err_(err), clock_(std::move(clock)) {
  start_ = clock_();
  drawn_at_ = printed_at_ = start_;
}

double console_observer::seconds() const { return clock_() - start_; }

const char* console_observer::measure() const { return kind_ == progress_kind::newton_iterations ? "out-of-balance" : "gradient"; }

// "gradient 1.2e-04 (target 5.0e-06, ratio 24)"
std::string console_observer::against_target(double norm, double maxnorm) const {
  std::string out = std::string(measure()) + printed(" %.2e (target %.2e", norm, maxnorm);
  if (maxnorm > 0.0) out += printed(", ratio %.3g", norm / maxnorm);
  return out + ")";
}

// The head of the terminal line: "load step 1/2, ".
std::string console_observer::short_step() const {
  return "load step " + std::to_string(step_) + "/" + std::to_string(steps_) + ", ";
}

// Where the solution is inside the step: "call 3/100, 120 evaluations",
// "Newton iteration 4/200", "120 evaluations".
std::string console_observer::where() const {
  std::string of;
  if (most_ > 0) of.append("/").append(std::to_string(most_));
  switch (kind_) {
    case progress_kind::minimiser_calls:
      return "call " + std::to_string(count_ + 1) + of + ", " + std::to_string(evaluations_) + " evaluations";
    case progress_kind::line_searches: return std::to_string(evaluations_) + " evaluations";
    case progress_kind::newton_iterations: return "Newton iteration " + std::to_string(count_) + of;
  }
  return "";
}

// "best gradient 1.46 x target" (or the plain value without a target).
std::string console_observer::short_best() const {
  if (!have_best_) return "";
  return std::string(", best ") + measure() + printed(" %.3g x target", best_);
}

// ", about 40 s to the target" when the best ratio has fallen for at least a
// second and is still above 1: ln(best) over the mean rate of fall of ln(ratio)
// since the call or step began.
std::string console_observer::time_left() const {
  if (!have_best_ || !(best_ > 1.0) || !(best_ < first_)) return "";
  double span = clock_() - first_at_;
  if (!(span >= 1.0)) return "";
  double rate = std::log(first_ / best_) / span;
  double left = std::log(best_) / rate;
  if (!std::isfinite(left)) return "";
  return ", about " + duration_text(left) + " to the target";
}

// The in-place line: the text, the rest of the old line cleared, and the cursor
// back at its start so that whatever comes next overwrites it.
void console_observer::draw(const std::string& text) {
  std::fprintf(err_, "%s\033[K\r", text.c_str());
  std::fflush(err_);
  drawn_ = true;
  drawn_at_ = clock_();
}

// One whole line away from a terminal.
void console_observer::print(const std::string& line) {
  std::fputs(line.c_str(), err_);
  std::fflush(err_);
  printed_at_ = clock_();
}

bool console_observer::redraw_due() const {
  if (!on_) return false;
  return tty_ ? clock_() - drawn_at_ >= redraw_seconds : clock_() - printed_at_ >= line_seconds;
}

void console_observer::restart_best() {
  have_best_ = false;
  best_ = first_ = first_at_ = 0.0;
}

void console_observer::seen(double norm, double maxnorm) {
  if (!(maxnorm > 0.0) || !std::isfinite(norm)) return;
  double ratio = norm / maxnorm;
  if (!have_best_) {
    have_best_ = true;
    best_ = first_ = ratio;
    first_at_ = clock_();
  } else if (ratio < best_) {
    best_ = ratio;
  }
}

// The progress as it stands: redrawn on a terminal, a line elsewhere.
void console_observer::report(const std::string& what) {
  std::string body = what + short_best() + printed(", %.1f s", seconds()) + time_left();
  if (tty_) {
    draw(short_step() + body);
    return;
  }
  print("load step " + std::to_string(step_) + " of " + std::to_string(steps_) + ", " + body + "\n");
}

void console_observer::started() {
  if (on_start_) on_start_();
}

void console_observer::run(progress_kind kind, int steps) {
  kind_ = kind;
  steps_ = steps;
}

void console_observer::limit(int most) { most_ = most; }

void console_observer::step(int step) {
  step_ = step;
  count_ = 0;
  evaluations_ = 0;
  restart_best();
  if (on_ && tty_) draw(short_step() + printed("%.1f s", seconds()));
}

void console_observer::iteration(int minor, double norm, double maxnorm) {
  count_ = count_ + 1;
  minor_ = minor_ + minor;
  evaluations_ = 0;
  // A minimiser call is followed by the program's own line on standard
  // output; the next call starts its own best ratio.
  if (kind_ != progress_kind::newton_iterations) {
    clear();
    restart_best();
    return;
  }
  seen(norm, maxnorm);
  if (!redraw_due()) return;
  report(where());
}

bool console_observer::due() {
  evaluations_ = evaluations_ + 1;
  return redraw_due();
}

void console_observer::search(double norm, double maxnorm) {
  seen(norm, maxnorm);
  report(where());
}

void console_observer::step_end(double norm, double maxnorm) {
  if (!on_) return;
  if (tty_) {
    clear();
    return;
  }
  std::string counted;
  switch (kind_) {
    case progress_kind::minimiser_calls: counted = std::to_string(count_) + " minimiser calls"; break;
    case progress_kind::line_searches: counted = std::to_string(minor_) + " line searches"; break;
    case progress_kind::newton_iterations: counted = std::to_string(count_) + " Newton iterations"; break;
  }
  print("load step " + std::to_string(step_) + " of " + std::to_string(steps_) + ": " + counted + ", " + against_target(norm, maxnorm) +
        (norm <= maxnorm ? ", converged" : ", not converged") + printed(", %.2f s\n", seconds()));
}

void console_observer::note(const std::string& line) {
  if (!on_) return;
  clear();
  std::fprintf(err_, "%s\n", line.c_str());
  std::fflush(err_);
}

void console_observer::line(const std::string& text) {
  clear();
  std::fputs(text.c_str(), out_);
  std::fflush(out_);
}

void console_observer::warning(const std::string& text) {
  clear();
  warn(variant_, text);
}

void console_observer::clear() {
  if (!drawn_) return;
  std::fputs("\033[K", err_);
  std::fflush(err_);
  drawn_ = false;
}

void console_observer::summary(const solution_result& r) {
  if (!on_) return;
  clear();
  const run_counts& c = r.counts;
  std::string out = "Run: ";
  if (c.steps == 0) {
    out += "no load step made (maxmajor is 0): the results show the plan\n";
  } else {
    out += r.end.unconverged.empty() ? "converged" : "NOT converged";
    out += ", final " + against_target(c.norm, c.maxnorm) + "\n";
  }
  if (!r.end.full_load.empty()) out += r.end.full_load + "\n";
  out += "Load steps: " + std::to_string(c.steps);
  if (c.unconverged_steps > 0) out += " (" + std::to_string(c.unconverged_steps) + " ended above their target)";
  out += "\n";
  switch (c.kind) {
    case progress_kind::minimiser_calls:
      out += "Minimiser calls: " + std::to_string(c.calls) + ", minimiser iterations: " + std::to_string(c.minor) + "\n";
      break;
    case progress_kind::line_searches: out += "Minimiser iterations: " + std::to_string(c.minor) + "\n"; break;
    case progress_kind::newton_iterations: out += "Newton iterations: " + std::to_string(c.minor) + "\n"; break;
  }
  if (r.highest > 0) {
    out += "Highest node: " + std::to_string(r.highest) + printed(" at z = %.6g\n", r.sf.pos(r.highest, 3));
    out += "Lowest node: " + std::to_string(r.lowest) + printed(" at z = %.6g\n", r.sf.pos(r.lowest, 3));
  }
  out += printed("Elapsed time: %.2f s\n", seconds());
  std::fputs(out.c_str(), err_);
  std::fflush(err_);
}

}  // namespace domica
