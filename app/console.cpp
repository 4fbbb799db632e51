#include "app/console.h"

#include <unistd.h>

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

}  // namespace

console_observer::console_observer(program variant, bool quiet, std::function<void()> on_start, std::FILE* out)
    : variant_(variant), on_(!quiet), tty_(isatty(2) != 0), on_start_(std::move(on_start)), out_(out) {
  start_ = clock_type::now();
  drawn_at_ = start_;
}

double console_observer::seconds() const { return std::chrono::duration<double>(clock_type::now() - start_).count(); }

const char* console_observer::measure() const { return kind_ == progress_kind::newton_iterations ? "out-of-balance" : "gradient"; }

// "gradient 1.2e-04 (target 5.0e-06, ratio 24)"
std::string console_observer::against_target(double norm, double maxnorm) const {
  std::string out = std::string(measure()) + printed(" %.2e (target %.2e", norm, maxnorm);
  if (maxnorm > 0.0) out += printed(", ratio %.3g", norm / maxnorm);
  return out + ")";
}

// The short form of the terminal line: "load step 1/2, ", "gradient at 24.6 x target".
std::string console_observer::short_step() const {
  return "load step " + std::to_string(step_) + "/" + std::to_string(steps_) + ", ";
}

std::string console_observer::short_target(double norm, double maxnorm) const {
  if (!(maxnorm > 0.0)) return std::string(measure()) + printed(" %.2e", norm);
  return std::string(measure()) + printed(" at %.3g x target", norm / maxnorm);
}

// The in-place line: the text, the rest of the old line cleared, and the cursor
// back at its start so that whatever comes next overwrites it.
void console_observer::draw(const std::string& text) {
  std::fprintf(stderr, "%s\033[K\r", text.c_str());
  std::fflush(stderr);
  drawn_ = true;
  drawn_at_ = clock_type::now();
}

bool console_observer::redraw_due() const { return on_ && tty_ && clock_type::now() - drawn_at_ >= std::chrono::milliseconds(250); }

void console_observer::started() {
  if (on_start_) on_start_();
}

void console_observer::run(progress_kind kind, int steps) {
  kind_ = kind;
  steps_ = steps;
}

void console_observer::step(int step) {
  step_ = step;
  count_ = 0;
  evaluations_ = 0;
  if (on_ && tty_) draw(short_step() + printed("%.1f s", seconds()));
}

void console_observer::iteration(int minor, double norm, double maxnorm) {
  count_ = count_ + 1;
  minor_ = minor_ + minor;
  evaluations_ = 0;
  // A minimiser call is followed by the program's own line on standard output.
  if (kind_ != progress_kind::newton_iterations) {
    clear();
    return;
  }
  if (!redraw_due()) return;
  draw(short_step() + "Newton iteration " + std::to_string(count_) + ", " + short_target(norm, maxnorm) + printed(", %.1f s", seconds()));
}

bool console_observer::due() {
  evaluations_ = evaluations_ + 1;
  return redraw_due();
}

void console_observer::search(double norm, double maxnorm) {
  std::string what = kind_ == progress_kind::line_searches ? "" : "call " + std::to_string(count_ + 1) + ", ";
  draw(short_step() + what + std::to_string(evaluations_) + " evaluations, " + short_target(norm, maxnorm) + printed(", %.1f s", seconds()));
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
  std::string line = "load step " + std::to_string(step_) + " of " + std::to_string(steps_) + ": " + counted + ", " +
                     against_target(norm, maxnorm) + (norm <= maxnorm ? ", converged" : ", not converged") +
                     printed(", %.2f s\n", seconds());
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
}

void console_observer::note(const std::string& line) {
  if (!on_) return;
  clear();
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
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
  std::fputs("\033[K", stderr);
  std::fflush(stderr);
  drawn_ = false;
}

void console_observer::summary(const solution_result& r) {
  if (!on_) return;
  clear();
  const run_counts& c = r.counts;
  std::string out = "Run: ";
  out += c.converged ? "converged" : "NOT converged";
  out += ", final " + against_target(c.norm, c.maxnorm) + "\n";
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
  std::fputs(out.c_str(), stderr);
  std::fflush(stderr);
}

}  // namespace domica
