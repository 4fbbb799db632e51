#include "app/progress.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace domica {

namespace {

using clock_type = std::chrono::steady_clock;

struct progress_rec {
  bool on = false;                 // progress_open without quiet
  bool tty = false;                // standard error is a terminal
  bool drawn = false;              // a terminal line is showing
  progress_kind kind = progress_kind::minimiser_calls;
  int steps = 0, step = 0;         // load steps of the run, the current one
  int count = 0;                   // minimiser calls or Newton iterations in the step
  long long calls = 0;             // over the run: minimiser calls
  long long minor = 0;             // over the run: line searches or Newton iterations
  long long evaluations = 0;       // energy evaluations in the current minimiser call
  int unconverged = 0;             // load steps that ended above their target
  double norm = 0.0, maxnorm = 0.0;  // the latest largest component and its target
  bool last_converged = false;     // the last load step met its target
  clock_type::time_point start, drawn_at;
};

progress_rec rec;

double seconds() { return std::chrono::duration<double>(clock_type::now() - rec.start).count(); }

const char* measure() { return rec.kind == progress_kind::newton_iterations ? "out-of-balance" : "gradient"; }

std::string printed(const char* format, double a, double b = 0.0) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, a, b);
  return buf;
}

// "gradient 1.2e-04 (target 5.0e-06, ratio 24)"
std::string against_target(double norm, double maxnorm) {
  std::string out = std::string(measure()) + printed(" %.2e (target %.2e", norm, maxnorm);
  if (maxnorm > 0.0) out += printed(", ratio %.3g", norm / maxnorm);
  return out + ")";
}

std::string step_words() { return "load step " + std::to_string(rec.step) + " of " + std::to_string(rec.steps); }

// The short form of the terminal line: "load step 1/2, ", "gradient at 24.6 x target".
std::string short_step() { return "load step " + std::to_string(rec.step) + "/" + std::to_string(rec.steps) + ", "; }
std::string short_target(double norm, double maxnorm) {
  if (!(maxnorm > 0.0)) return std::string(measure()) + printed(" %.2e", norm);
  return std::string(measure()) + printed(" at %.3g x target", norm / maxnorm);
}

// The in-place line: the text, the rest of the old line cleared, and the cursor
// back at its start so that whatever comes next overwrites it.
void draw(const std::string& text) {
  std::fprintf(stderr, "%s\033[K\r", text.c_str());
  std::fflush(stderr);
  rec.drawn = true;
  rec.drawn_at = clock_type::now();
}

bool redraw_due() { return rec.on && rec.tty && clock_type::now() - rec.drawn_at >= std::chrono::milliseconds(250); }

}  // namespace

void progress_open(bool quiet) {
  rec = progress_rec{};
  rec.on = !quiet;
  rec.tty = isatty(2) != 0;
  rec.start = clock_type::now();
  rec.drawn_at = rec.start;
}

void progress_run(progress_kind kind, int steps) {
  rec.kind = kind;
  rec.steps = steps;
}

void progress_step(int step) {
  rec.step = step;
  rec.count = 0;
  rec.evaluations = 0;
  if (rec.on && rec.tty) draw(short_step() + printed("%.1f s", seconds()));
}

void progress_iteration(int minor, double norm, double maxnorm) {
  rec.count = rec.count + 1;
  rec.minor = rec.minor + minor;
  if (rec.kind != progress_kind::newton_iterations) rec.calls = rec.calls + 1;
  rec.norm = norm;
  rec.maxnorm = maxnorm;
  rec.evaluations = 0;
  // A minimiser call is followed by the program's own line on standard output.
  if (rec.kind != progress_kind::newton_iterations) {
    progress_clear();
    return;
  }
  if (!redraw_due()) return;
  draw(short_step() + "Newton iteration " + std::to_string(rec.count) + ", " + short_target(norm, maxnorm) + printed(", %.1f s", seconds()));
}

bool progress_due() {
  rec.evaluations = rec.evaluations + 1;
  return redraw_due();
}

void progress_search(double norm, double maxnorm) {
  std::string what = rec.kind == progress_kind::line_searches ? "" : "call " + std::to_string(rec.count + 1) + ", ";
  draw(short_step() + what + std::to_string(rec.evaluations) + " evaluations, " + short_target(norm, maxnorm) + printed(", %.1f s", seconds()));
}

void progress_step_end(double norm, double maxnorm) {
  rec.norm = norm;
  rec.maxnorm = maxnorm;
  rec.last_converged = norm <= maxnorm;
  if (!rec.last_converged) rec.unconverged = rec.unconverged + 1;
  if (!rec.on) return;
  if (rec.tty) {
    progress_clear();
    return;
  }
  std::string counted;
  switch (rec.kind) {
    case progress_kind::minimiser_calls: counted = std::to_string(rec.count) + " minimiser calls"; break;
    case progress_kind::line_searches: counted = std::to_string(rec.minor) + " line searches"; break;
    case progress_kind::newton_iterations: counted = std::to_string(rec.count) + " Newton iterations"; break;
  }
  std::string line = step_words() + ": " + counted + ", " + against_target(norm, maxnorm) +
                     (rec.last_converged ? ", converged" : ", not converged") + printed(", %.2f s\n", seconds());
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
}

void progress_note(const std::string& line) {
  if (!rec.on) return;
  progress_clear();
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
}

void progress_clear() {
  if (!rec.drawn) return;
  std::fputs("\033[K", stderr);
  std::fflush(stderr);
  rec.drawn = false;
}

void progress_summary(const surface& sf) {
  if (!rec.on) return;
  progress_clear();
  int nn = sf.pos.rows();
  int high = 1, low = 1;
  for (int glob = 2; glob <= nn; ++glob) {
    if (sf.pos(glob, 3) > sf.pos(high, 3)) high = glob;
    if (sf.pos(glob, 3) < sf.pos(low, 3)) low = glob;
  }
  std::string out = "Run: ";
  out += rec.last_converged ? "converged" : "NOT converged";
  out += ", final " + against_target(rec.norm, rec.maxnorm) + "\n";
  out += "Load steps: " + std::to_string(rec.steps);
  if (rec.unconverged > 0) out += " (" + std::to_string(rec.unconverged) + " ended above their target)";
  out += "\n";
  switch (rec.kind) {
    case progress_kind::minimiser_calls:
      out += "Minimiser calls: " + std::to_string(rec.calls) + ", minimiser iterations: " + std::to_string(rec.minor) + "\n";
      break;
    case progress_kind::line_searches: out += "Minimiser iterations: " + std::to_string(rec.minor) + "\n"; break;
    case progress_kind::newton_iterations: out += "Newton iterations: " + std::to_string(rec.minor) + "\n"; break;
  }
  if (nn > 0) {
    out += "Highest node: " + std::to_string(high) + printed(" at z = %.6g\n", sf.pos(high, 3));
    out += "Lowest node: " + std::to_string(low) + printed(" at z = %.6g\n", sf.pos(low, 3));
  }
  out += printed("Elapsed time: %.2f s\n", seconds());
  std::fputs(out.c_str(), stderr);
  std::fflush(stderr);
}

}  // namespace domica
