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

std::string summary_text(const net& nt, const surface& sf, const membrane_forces& f) {
  std::string out;
  double top = 0.0, bottom = 0.0;
  for (int glob = 1; glob <= nt.nn; ++glob) {
    double z = sf.pos(glob, 3);
    top = glob == 1 ? z : std::fmax(top, z);
    bottom = glob == 1 ? z : std::fmin(bottom, z);
  }
  double rise = top - bottom;
  double xlo = 0.0, xhi = 0.0, ylo = 0.0, yhi = 0.0;
  for (int glob = 1; glob <= nt.nn; ++glob) {
    bool first = glob == 1;
    xlo = first ? nt.xo(glob) : std::fmin(xlo, nt.xo(glob));
    xhi = first ? nt.xo(glob) : std::fmax(xhi, nt.xo(glob));
    ylo = first ? nt.yo(glob) : std::fmin(ylo, nt.yo(glob));
    yhi = first ? nt.yo(glob) : std::fmax(yhi, nt.yo(glob));
  }
  double span = std::fmax(xhi - xlo, yhi - ylo);
  out += "Rise " + num(rise) + " over a plan span of " + num(span);
  if (span > 0.0) out += " (rise/span " + num(rise / span) + ")";
  out += "\n";

  double scale = force_scale(f);
  int most = 0, least = 0, tension = 0;
  double total = 0.0, compressed = 0.0, stretched = 0.0;
  for (int e = 1; e <= nt.ne; ++e) {
    const tri_force& t = f.tri(e);
    if (most == 0 || t.n1 > f.tri(most).n1) most = e;
    if (least == 0 || t.n2 < f.tri(least).n2) least = e;
    total += t.area;
    if (in_tension(t, scale)) {
      ++tension;
      stretched += t.area;
    } else {
      compressed += t.area;
    }
  }
  if (most != 0 && in_tension(f.tri(most), scale))
    out += "Largest tension n1 = " + num(f.tri(most).n1) + " in triangle " + std::to_string(most) + "\n";
  else
    out += "Largest tension: none\n";
  bool compression = least != 0 && f.tri(least).n2 < -1e-9 * scale;
  if (compression)
    out += "Largest compression n2 = " + num(f.tri(least).n2) + " in triangle " + std::to_string(least) + "\n";
  else
    out += "Largest compression: none\n";
  out += "In compression: " + percent(compressed, total) + " of the surface\n";
  if (tension > 0)
    out += "Part of the shell is in tension: " + std::to_string(tension) + " of " + std::to_string(nt.ne) +
           " triangles, " + percent(stretched, total) + " of the surface; concrete there needs reinforcement or another form.\n";
  if (nt.ne > 0 && tension == nt.ne && !compression)
    out += "Every triangle is in tension both ways: a hanging or inflated form; turned upside down under reversed "
           "loads it is a shell in compression throughout.\n";
  if (tension == 0)
    out += "No part of the shell is in tension.\n";
  return out;
}

}  // namespace domica
