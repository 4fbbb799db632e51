#include "io/summary.h"

#include <cmath>
#include <cstdio>

namespace domica {

namespace {

std::string num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  return buf;
}

std::string percent(double part, double whole) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f %%", whole > 0.0 ? 100.0 * part / whole : 0.0);
  return buf;
}

}  // namespace

shell_summary summarise(const net& nt, const surface& sf, const membrane_forces& f) {
  shell_summary s;
  for (int glob = 1; glob <= nt.nn; ++glob) {
    double z = sf.pos(glob, 3);
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
  for (int e = 1; e <= nt.ne; ++e) {
    const tri_force& t = f.tri(e);
    if (s.most == 0 || t.n1 > f.tri(s.most).n1) s.most = e;
    if (s.least == 0 || t.n2 < f.tri(s.least).n2) s.least = e;
    s.area += t.area;
    if (in_tension(t, scale)) {
      ++s.stretched;
      s.stretched_area += t.area;
    } else {
      s.compressed += t.area;
    }
  }
  s.tension = s.most != 0 && in_tension(f.tri(s.most), scale);
  s.compression = s.least != 0 && f.tri(s.least).n2 < -1e-9 * scale;
  return s;
}

std::string summary_text(const net& nt, const surface& sf, const membrane_forces& f) {
  const shell_summary s = summarise(nt, sf, f);
  std::string out;
  out += "Rise " + num(s.rise) + " over a plan span of " + num(s.span);
  if (s.span > 0.0) out += " (rise/span " + num(s.rise / s.span) + ")";
  out += "\n";
  if (s.tension)
    out += "Largest tension n1 = " + num(f.tri(s.most).n1) + " in triangle " + std::to_string(s.most) + "\n";
  else
    out += "Largest tension: none\n";
  if (s.compression)
    out += "Largest compression n2 = " + num(f.tri(s.least).n2) + " in triangle " + std::to_string(s.least) + "\n";
  else
    out += "Largest compression: none\n";
  out += "In compression: " + percent(s.compressed, s.area) + " of the surface\n";
  if (s.stretched > 0)
    out += "Part of the shell is in tension: " + std::to_string(s.stretched) + " of " + std::to_string(nt.ne) +
           " triangles, " + percent(s.stretched_area, s.area) + " of the surface; concrete there needs reinforcement or another form.\n";
  if (nt.ne > 0 && s.stretched == nt.ne && !s.compression)
    out += "Every triangle is in tension both ways: a hanging or inflated form; turned upside down under reversed "
           "loads it is a shell in compression throughout.\n";
  if (s.stretched == 0)
    out += "No part of the shell is in tension.\n";
  return out;
}

}  // namespace domica
