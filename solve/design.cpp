#include "solve/design.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "mechanics/forces.h"
#include "mechanics/setup.h"
#include "model/failure.h"
#include "model/format.h"
#include "model/number.h"

namespace domica {

namespace {

// Hands a trial solution's progress on as it comes, holds its console lines,
// warnings and notes until the search knows which solution it returns, and
// passes started() on once only.
class held_observer : public observer {
 public:
  explicit held_observer(observer& to) : to_(to) {}

  void started() override {
    if (started_) return;
    started_ = true;
    to_.started();
  }
  void run(progress_kind kind, int steps) override { to_.run(kind, steps); }
  void limit(int most) override { to_.limit(most); }
  void step(int step) override { to_.step(step); }
  void iteration(int minor, double norm, double maxnorm) override { to_.iteration(minor, norm, maxnorm); }
  bool due() override { return to_.due(); }
  void search(double norm, double maxnorm) override { to_.search(norm, maxnorm); }
  void step_end(double norm, double maxnorm) override { to_.step_end(norm, maxnorm); }
  void note(const std::string& line) override { held_.push_back({kind::note, line}); }
  void line(const std::string& text) override { held_.push_back({kind::line, text}); }
  void warning(const std::string& text) override { held_.push_back({kind::warning, text}); }

  enum class kind { note, line, warning };
  struct held_line {
    kind k;
    std::string text;
  };
  // The lines held since the last take().
  std::vector<held_line> take() { return std::exchange(held_, {}); }
  // Hand lines on to the observer.
  void replay(const std::vector<held_line>& lines) {
    for (const held_line& h : lines) {
      if (h.k == kind::note) to_.note(h.text);
      else if (h.k == kind::line) to_.line(h.text);
      else to_.warning(h.text);
    }
  }

 private:
  observer& to_;
  bool started_ = false;
  std::vector<held_line> held_;
};

// One solution of the search.
struct trial {
  double s = 0.0;     // log(young)
  double rise = 0.0;
  double g = 0.0;     // log(rise / H); -inf for a rise of 0
  fmat1 x;            // its found shape
};

// The start for log(young) = s from the trial t: its displacements with the
// vertical ones scaled by the model's change of rise k = exp(-(s - t.s)/3)
// and the horizontal ones by k^2 (they follow the strains, which go as the
// square of the slopes).
fmat1 scaled_start(const problem& p, const numbering& d, const trial& t, double s) {
  double k = std::exp(-(s - t.s) / 3.0);
  k = std::fmin(10.0, std::fmax(0.1, k));
  fmat1 x = t.x;
  for (int glob = 1; glob <= p.nt.nn; ++glob)
    for (int axis = 1; axis <= 3; ++axis) {
      int i = d.index(glob, axis);
      if (i <= d.n) x(i) = x(i) * (axis == 3 ? k : k * k);
    }
  return x;
}

}  // namespace

double rise_of(const solution_result& r) {
  if (r.highest == 0) return 0.0;
  return r.sf.pos(r.highest, 3) - r.sf.pos(r.lowest, 3);
}

problem hanging_problem(const problem& p) {
  const std::string why = "an upright shell is found from its hanging form, so every load must act downwards: ";
  if (p.load.weight < 0.0) throw failure(exit_input, why + "the weight per volume " + exact(p.load.weight) + " lifts the net");
  if (pressure_lifts(p.nt, p.load.pressure))
    throw failure(exit_input, why + "the pressure " + exact(p.load.pressure) + " lifts the net (" +
                                  (p.load.pressure < 0.0 ? "negative on triangles anticlockwise seen from above"
                                                         : "positive on triangles clockwise seen from above") +
                                  "); a lifted form is upright already");
  for (int glob = 1; glob <= p.nt.nn; ++glob)
    if (p.nt.point(glob, 3) > 0.0)
      throw failure(exit_input, why + "node " + std::to_string(glob) + " has an upward point load (z " + exact(p.nt.point(glob, 3)) + ")");
  problem h = p;
  for (int glob = 1; glob <= p.nt.nn; ++glob) {
    h.nt.known(glob, 3) = -p.nt.known(glob, 3);
    h.nt.point(glob, 1) = -p.nt.point(glob, 1);
    h.nt.point(glob, 2) = -p.nt.point(glob, 2);
  }
  return h;
}

solution_result upright_of(const problem& p, const solution_result& r, const solve_options& opts) {
  assembly as = setup(p);
  fmat1 x = r.x;
  for (int glob = 1; glob <= p.nt.nn; ++glob) {
    int i = as.d.index(glob, 3);
    if (i <= as.d.n) x(i) = -x(i);
  }
  solve_options plain = opts;
  plain.forces = false;
  solution_result u = make_result(p, as, x, plain, r.end, r.counts, r.seconds);
  if (opts.forces) u.forces = reversed(p.nt, forces(p.nt, as, p.mat.thickness, u.sf), u.sf);
  u.rise = r.rise;
  u.upright = true;
  return u;
}

solution_result solve_for_rise(solve_fn solve, const problem& p, const design_goal& goal, const solve_options& opts,
                               observer& obs) {
  const double target = *goal.rise;
  if (!(target > 0.0) || !std::isfinite(target))
    throw failure(exit_input, "the rise asked for must be a positive number, found " + exact(target));
  bool loaded = p.load.weight != 0.0 || p.load.pressure != 0.0;
  for (int glob = 1; glob <= p.nt.nn && !loaded; ++glob)
    for (int axis = 1; axis <= 3; ++axis) loaded = loaded || p.nt.point(glob, axis) != 0.0;
  if (!loaded)
    throw failure(exit_input, "no positive young gives a rise of " + six_digits(target) +
                                  ": the net has no load, so its rise stays that of its prescribed heights");
  const numbering d = number(p.nt);
  held_observer held(obs);
  problem q = p;
  solve_options o = opts;
  o.forces = false;
  // young within 1e12 of the file's value either way, and well inside the
  // range of double precision.
  const double s0 = std::log(p.mat.young);
  const double span = 12.0 * std::log(10.0);
  const double s_lo = std::fmax(s0 - span, std::log(DBL_MIN) + 50.0), s_hi = std::fmin(s0 + span, std::log(DBL_MAX) - 50.0);
  const double most_step = std::log(1000.0);

  std::vector<trial> trials;
  solution_result best;
  std::vector<held_observer::held_line> best_lines;
  double best_miss = INFINITY, best_young = p.mat.young, seconds = 0.0;
  long long iterations = 0;

  auto attempt = [&](double s) {
    q.mat.young = std::exp(s);
    fmat1 start;
    o.start = nullptr;
    if (!trials.empty()) {
      const trial* near = &trials.front();
      for (const trial& t : trials)
        if (std::fabs(t.s - s) < std::fabs(near->s - s)) near = &t;
      start = scaled_start(q, d, *near, s);
      o.start = &start;
    }
    // domica_3's load steps bring the follower pressure up from the flat
    // plan; from a shape near the answer one step of the full load finds the
    // same equilibrium in a third of the iterations.
    q.st.maxmajor = o.start && p.variant == program::domica_3 && p.st.maxmajor > 1 ? 1 : p.st.maxmajor;
    solution_result r;
    try {
      r = solve(q, o, held);
    } catch (...) {
      held.replay(held.take());
      throw;
    }
    std::vector<held_observer::held_line> lines = held.take();
    seconds += r.seconds;
    iterations += r.counts.minor;
    trial t;
    t.s = s;
    t.rise = rise_of(r);
    t.g = t.rise > 0.0 ? std::log(t.rise / target) : -INFINITY;
    t.x = r.x;
    obs.note("rise search, solution " + std::to_string(trials.size() + 1) + ": young " + six_digits(q.mat.young) + ", rise " +
             six_digits(t.rise) + (r.end.unconverged.empty() ? "" : " (not converged)"));
    double miss = std::fabs(t.rise - target);
    if (miss < best_miss) {
      best_miss = miss;
      best_young = q.mat.young;
      best = std::move(r);
      best_lines = std::move(lines);
    }
    trials.push_back(std::move(t));
  };
  auto unreachable = [&](const std::string& why) {
    throw failure(exit_input, "no positive young gives a rise of " + six_digits(target) + ": " + why);
  };

  attempt(s0);
  int expansions = 0;
  bool kept_lo = false, kept_hi = false;  // which end of the bracket the last step kept
  while (best_miss > goal.tolerance) {
    if (static_cast<int>(trials.size()) >= goal.most_solutions)
      throw failure(exit_solution, "the rise search made " + std::to_string(trials.size()) + " solutions without coming within " +
                                       six_digits(goal.tolerance) + " of the rise " + six_digits(target) + " (closest " + six_digits(rise_of(best)) +
                                       "); the solutions' rises may not be sharper than that: try a smaller mntol");
    const trial& last = trials.back();
    // The bracket: the largest s whose rise is too large, the smallest whose rise is too small.
    const trial *lo = nullptr, *hi = nullptr;
    for (const trial& t : trials) {
      if (t.g > 0.0 && (!lo || t.s > lo->s)) lo = &t;
      if (t.g < 0.0 && (!hi || t.s < hi->s)) hi = &t;
    }
    double next;
    if (lo && hi) {
      const double width = hi->s - lo->s;
      if (!(width > 1e-13 * (1.0 + std::fabs(lo->s))))
        throw failure(exit_solution, "the rise search closed in on young " + six_digits(std::exp(lo->s)) + " without coming within " +
                                         six_digits(goal.tolerance) + " of the rise " + six_digits(target) + " (closest " +
                                         six_digits(rise_of(best)) + "): the rise jumps there");
      next = NAN;
      if (trials.size() >= 2) {
        const trial& prev = trials[trials.size() - 2];
        if (std::isfinite(last.g) && std::isfinite(prev.g) && last.g != prev.g)
          next = last.s - last.g * (last.s - prev.s) / (last.g - prev.g);
      }
      auto inside = [&](double v) { return v > lo->s && v < hi->s; };
      if (!inside(next)) {
        // Regula falsi on the bracket; the value of an end that the last step
        // kept is halved, so that end cannot stay for long.
        double glo = lo->g, ghi = std::isfinite(hi->g) ? hi->g : -1.0;
        if (kept_lo) glo = 0.5 * glo;
        if (kept_hi) ghi = 0.5 * ghi;
        next = lo->s + glo * width / (glo - ghi);
        if (!inside(next)) next = lo->s + 0.5 * width;
      }
      attempt(next);
      kept_lo = trials.back().g < 0.0;
      kept_hi = trials.back().g > 0.0;
      continue;
    }
    // No bracket yet: a step towards the target.
    if (++expansions > goal.most_expansions) {
      if (last.g > 0.0)
        unreachable("the rise falls only to " + six_digits(last.rise) + " at young " + six_digits(std::exp(last.s)) +
                    " and hardly changes there (the prescribed heights alone give about that much)");
      unreachable("the rise grows only to " + six_digits(last.rise) + " at young " + six_digits(std::exp(last.s)));
    }
    double slope = -1.0 / 3.0;
    if (trials.size() >= 2) {
      const trial& prev = trials[trials.size() - 2];
      if (std::fabs(last.rise - prev.rise) <= 1e-12 * std::fmax(std::fabs(last.rise), std::fabs(prev.rise)))
        unreachable("the rise stays " + six_digits(last.rise) + " at young " + six_digits(std::exp(prev.s)) + " and " + six_digits(std::exp(last.s)) +
                    " (no load moves the net, or the prescribed heights alone set it)");
      if (std::isfinite(last.g) && std::isfinite(prev.g)) {
        double secant = (last.g - prev.g) / (last.s - prev.s);
        if (secant < 0.0) slope = secant;
      }
    }
    double step = std::isfinite(last.g) ? -last.g / slope : -most_step;
    step = std::fmax(-most_step, std::fmin(most_step, step));
    next = std::fmax(s_lo, std::fmin(s_hi, last.s + step));
    if (next == last.s) unreachable("young would leave the range of 1e-12 to 1e12 times the given value");
    attempt(next);
  }
  held.replay(best_lines);
  rise_record rec;
  rec.target = target;
  rec.young = best_young;
  rec.solutions = static_cast<int>(trials.size());
  rec.iterations = iterations;
  best.rise = rec;
  best.seconds = seconds;
  if (opts.forces) {
    q.mat.young = best_young;
    best.forces = forces(q.nt, setup(q), q.mat.thickness, best.sf);
  }
  return best;
}

solution_result solve_design(solve_fn solve, const problem& p, const design_goal& goal, const solve_options& opts,
                             observer& obs) {
  if (!goal.upright) return goal.rise ? solve_for_rise(solve, p, goal, opts, obs) : solve(p, opts, obs);
  problem h = hanging_problem(p);
  solve_options o = opts;
  o.forces = false;
  solution_result r = goal.rise ? solve_for_rise(solve, h, goal, o, obs) : solve(h, o, obs);
  problem u = p;
  if (r.rise) u.mat.young = r.rise->young;
  return upright_of(u, r, opts);
}

}  // namespace domica
