#include "io/summary.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "model/failure.h"
#include "model/format.h"

namespace domica {

namespace {

std::string percent(double part, double whole) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f %%", whole > 0.0 ? 100.0 * part / whole : 0.0);
  return buf;
}

// A JSON number in its shortest exact form.
std::string json(double v) {
  if (!std::isfinite(v)) throw failure(exit_solution, "summary.json: a figure of the run is not finite; no output written");
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

}  // namespace

shell_figures figures(const net& nt, const surface& sf, const membrane_forces& f) {
  shell_figures s;
  for (int glob = 1; glob <= nt.nn; ++glob) {
    double z = sf.pos(glob, 3);
    if (glob == 1 || z > s.top) s.highest = glob;
    if (glob == 1 || z < s.bottom) s.lowest = glob;
    s.top = glob == 1 ? z : std::fmax(s.top, z);
    s.bottom = glob == 1 ? z : std::fmin(s.bottom, z);
  }
  s.rise = s.top - s.bottom;
  double xlo = 0.0, xhi = 0.0, ylo = 0.0, yhi = 0.0;
  for (int glob = 1; glob <= nt.nn; ++glob) {
    bool first = glob == 1;
    xlo = first ? nt.xo(glob) : std::fmin(xlo, nt.xo(glob));
    xhi = first ? nt.xo(glob) : std::fmax(xhi, nt.xo(glob));
    ylo = first ? nt.yo(glob) : std::fmin(ylo, nt.yo(glob));
    yhi = first ? nt.yo(glob) : std::fmax(yhi, nt.yo(glob));
  }
  s.span = std::fmax(xhi - xlo, yhi - ylo);

  double scale = force_scale(f);
  s.unloaded = !(scale > 0.0);
  int most = 0, least = 0;
  for (int e = 1; e <= nt.ne; ++e) {
    const tri_force& t = f.tri(e);
    if (most == 0 || t.n1 > f.tri(most).n1) most = e;
    if (least == 0 || t.n2 < f.tri(least).n2) least = e;
    s.area += t.area;
    bool squeezed = t.n2 < -1e-9 * scale;
    if (in_tension(t, scale)) {
      ++s.tension_triangles;
      if (squeezed) {
        ++s.mixed_triangles;
        s.mixed += t.area;
      }
    } else if (!s.unloaded) {
      s.compressed += t.area;
    }
  }
  if (most != 0 && in_tension(f.tri(most), scale)) {
    s.most = most;
    s.tension = f.tri(most).n1;
  }
  if (least != 0 && f.tri(least).n2 < -1e-9 * scale) {
    s.least = least;
    s.compression = f.tri(least).n2;
  }
  return s;
}

std::string summary_text(const net& nt, const surface& sf, const membrane_forces& f, const form_facts& form) {
  const shell_figures s = figures(nt, sf, f);
  std::string out = "Rise " + six_digits(s.rise) + " over a plan span of " + six_digits(s.span);
  if (s.span > 0.0) out += " (rise/span " + six_digits(s.rise / s.span) + ")";
  out += "\n";
  if (form.solutions > 0)
    out += "Membrane stiffness for this rise: young = " + six_digits(form.young) + " (" + std::to_string(form.solutions) + " solutions)\n";
  if (s.most != 0) out += "Largest tension n1 = " + six_digits(s.tension) + " in triangle " + std::to_string(s.most) + "\n";
  else out += "Largest tension: none\n";
  if (s.least != 0) out += "Largest compression n2 = " + six_digits(s.compression) + " in triangle " + std::to_string(s.least) + "\n";
  else out += "Largest compression: none\n";
  if (s.unloaded) return out + "No membrane forces: the surface carries no load.\n";
  out += "In compression: " + percent(s.compressed, s.area) + " of the surface";
  // A triangle with one principal tension is not counted as compressed, even
  // where its other principal force is the largest compression.
  if (s.mixed_triangles > 0)
    out += " (triangles with no principal tension; " + std::to_string(s.mixed_triangles) + " triangles, " +
           percent(s.mixed, s.area) + " of the surface, are in tension one way and compression the other)";
  out += "\n";
  const int tension = s.tension_triangles;
  if (tension > 0)
    out += "Part of the shell is in tension: " + std::to_string(tension) + " of " + std::to_string(nt.ne) + " triangles, " +
           percent(s.area - s.compressed, s.area) + " of the surface; concrete there needs reinforcement or another form.\n";
  if (nt.ne > 0 && tension == nt.ne && s.least == 0) {
    if (form.lifted)
      out += "Every triangle is in tension both ways: an inflated form, upright as it stands; under the same pressure "
             "acting from above it is a shell in compression throughout (do not turn it over).\n";
    else
      out += "Every triangle is in tension both ways: a hanging form; turned upside down (z -> -z, --upright) under "
             "the same downward loads it is a shell in compression throughout.\n";
  }
  if (tension == 0) out += "No part of the shell is in tension.\n";
  if (form.upright) out += "Upright: the mirror of the form found hanging, its forces those of the shell under the downward loads.\n";
  return out;
}

std::string summary_json(const run_facts& run, const shell_figures& fig) {
  auto node = [](int n, double z) { return n == 0 ? std::string("null") : "{\"node\": " + std::to_string(n) + ", \"z\": " + json(z) + "}"; };
  auto tri = [](int e, double v) { return e == 0 ? std::string("null") : "{\"triangle\": " + std::to_string(e) + ", \"n\": " + json(v) + "}"; };
  auto share = [&](double part) { return json(fig.area > 0.0 ? part / fig.area : 0.0); };
  std::string out = "{\n";
  out += "  \"program\": \"" + run.program + "\",\n";
  out += std::string("  \"outcome\": \"") + (run.converged ? "converged" : "not converged") + "\",\n";
  out += "  \"exit_status\": " + std::to_string(run.status) + ",\n";
  out += "  \"load_steps\": " + std::to_string(run.steps) + ",\n";
  out += "  \"unconverged_steps\": " + std::to_string(run.unconverged_steps) + ",\n";
  out += "  \"minimiser_calls\": " + std::to_string(run.calls) + ",\n";
  out += "  \"iterations\": " + std::to_string(run.iterations) + ",\n";
  out += std::string("  \"iterations_of\": \"") + run.counted + "\",\n";
  out += "  \"final_norm\": " + json(run.norm) + ",\n";
  out += "  \"target\": " + json(run.target) + ",\n";
  out += "  \"rise\": " + json(fig.rise) + ",\n";
  out += "  \"span\": " + json(fig.span) + ",\n";
  out += "  \"highest\": " + node(fig.highest, fig.top) + ",\n";
  out += "  \"lowest\": " + node(fig.lowest, fig.bottom) + ",\n";
  out += "  \"largest_tension\": " + tri(fig.most, fig.tension) + ",\n";
  out += "  \"largest_compression\": " + tri(fig.least, fig.compression) + ",\n";
  out += "  \"compression_share\": " + share(fig.compressed) + ",\n";
  out += "  \"mixed_share\": " + share(fig.mixed) + ",\n";
  out += std::string("  \"upright\": ") + (run.upright ? "true" : "false") + ",\n";
  if (run.rise_search)
    out += "  \"rise_search\": {\"target\": " + json(run.rise_target) + ", \"young\": " + json(run.young) +
           ", \"solutions\": " + std::to_string(run.solutions) + ", \"iterations\": " + std::to_string(run.all_iterations) + "},\n";
  else
    out += "  \"rise_search\": null,\n";
  out += "  \"elapsed_seconds\": " + json(run.seconds) + "\n";
  out += "}\n";
  return out;
}

}  // namespace domica
