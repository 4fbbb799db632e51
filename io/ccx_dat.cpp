#include "io/ccx_dat.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "model/failure.h"

namespace domica {

namespace {

enum class block { none, displacements, forces, stresses, factors, other };

struct reader {
  const std::string& name;
  int line = 0;

  [[noreturn]] void fail(const std::string& what) const {
    throw failure(exit_solution, name + ": line " + std::to_string(line) + ": " + what + "; no output written");
  }
  [[noreturn]] void fail_at_end(const std::string& what) const {
    throw failure(exit_solution, name + ": " + what + "; no output written");
  }
};

// The whitespace-separated words of a line.
std::vector<std::string> words(const std::string& line) {
  std::vector<std::string> out;
  std::istringstream in(line);
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

bool number(const std::string& w, double& v) {
  char* end = nullptr;
  errno = 0;
  v = std::strtod(w.c_str(), &end);
  return !w.empty() && *end == '\0';
}

bool integer(const std::string& w, long& v) {
  char* end = nullptr;
  errno = 0;
  v = std::strtol(w.c_str(), &end, 10);
  return !w.empty() && *end == '\0' && errno == 0;
}

double finite(const reader& r, const std::string& w) {
  double v;
  if (!number(w, v)) r.fail("expected a number, found " + quoted(w));
  if (!std::isfinite(v)) r.fail("a value that is not finite: " + quoted(w));
  return v;
}

}  // namespace

ccx_result read_ccx_dat(const std::string& text, const std::string& name, int nn, int ne, int steps, bool buckling) {
  ccx_result res;
  reader r{name};
  std::istringstream in(text);
  block kind = block::none;
  bool after_factors = false;
  int mode = 0;  // the mode whose title was seen last
  int counts[3] = {0, 0, 0};  // static blocks of each kind seen
  fmat2* target = nullptr;    // where the current block's rows go
  fmat2* target2 = nullptr;   // stresses: point 2
  int rows = 0, expected = 0;
  std::vector<int> seen;      // rows given for each node or element of the block

  auto close = [&] {
    if (target && rows != expected)
      r.fail("a block ends after " + std::to_string(rows) + " rows, expected " + std::to_string(expected));
    target = target2 = nullptr;
  };
  auto open = [&](fmat2* t, fmat2* t2, int count, int size) {
    target = t;
    target2 = t2;
    rows = 0;
    expected = count;
    seen.assign(static_cast<std::size_t>(size) + 1, 0);
  };

  for (std::string line; std::getline(in, line);) {
    ++r.line;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> w = words(line);
    if (w.empty()) continue;
    bool title = false;
    block next = block::none;
    if (line.find("displacements (") != std::string::npos) next = block::displacements, title = true;
    else if (line.find("forces (fx") != std::string::npos && line.find("total force") == std::string::npos) next = block::forces, title = true;
    else if (line.find("stresses (elem") != std::string::npos) next = block::stresses, title = true;
    else if (line.find("B U C K L I N G") != std::string::npos) next = block::factors, title = true;
    else if (line.find("E I G E N V A L U E") != std::string::npos || line.find("total force") != std::string::npos ||
             line.find(" for set ") != std::string::npos)
      next = block::other, title = true;
    if (title) {
      close();
      kind = next;
      if (kind == block::factors) {
        after_factors = true;
      } else if (line.find("E I G E N V A L U E") != std::string::npos) {
        long k;
        if (!integer(w.back(), k) || k < 1 || k > 100000) r.fail("expected the number of a mode, found " + quoted(w.back()));
        mode = static_cast<int>(k);
      } else if (kind == block::displacements && after_factors) {
        if (mode == 0 || mode != static_cast<int>(res.modes.size()) + 1) r.fail("displacements of a mode out of order");
        res.modes.emplace_back(nn, 3);
        open(&res.modes.back(), nullptr, nn, nn);
      } else if (!after_factors && (kind == block::displacements || kind == block::forces || kind == block::stresses)) {
        int k = kind == block::displacements ? 0 : kind == block::forces ? 1 : 2;
        int step = counts[k]++;
        if (step < steps) {
          if (static_cast<int>(res.steps.size()) <= step) res.steps.resize(static_cast<std::size_t>(step) + 1);
          ccx_step& s = res.steps[static_cast<std::size_t>(step)];
          if (k == 0) s.u = fmat2(nn, 3), open(&s.u, nullptr, nn, nn);
          if (k == 1) s.rf = fmat2(nn, 3), open(&s.rf, nullptr, nn, nn);
          if (k == 2) s.s1 = fmat2(ne, 6), s.s2 = fmat2(ne, 6), open(&s.s1, &s.s2, 2 * ne, ne);
        }
      }
      continue;
    }
    if (kind == block::factors) {
      // "MODE NO  BUCKLING" and "FACTOR" head the rows.
      long m;
      if (!integer(w[0], m)) continue;
      if (w.size() != 2 || m != static_cast<long>(res.factors.size()) + 1) r.fail("expected a mode's number and its buckling factor");
      res.factors.push_back(finite(r, w[1]));
      continue;
    }
    if (!target) continue;
    long id;
    if (!integer(w[0], id)) r.fail("expected a node or element number, found " + quoted(w[0]));
    if (target2) {
      long point;
      if (w.size() < 8 || !integer(w[1], point) || point < 1 || point > 2)
        r.fail("expected an element, its integration point 1 or 2 and six stresses");
      if (id < 1 || id > ne) r.fail("element " + std::to_string(id) + " is not one of the shell's " + std::to_string(ne));
      if (seen[static_cast<std::size_t>(id)] & (1 << point)) r.fail("element " + std::to_string(id) + " given twice");
      seen[static_cast<std::size_t>(id)] |= 1 << point;
      fmat2& t = point == 1 ? *target : *target2;
      for (int c = 1; c <= 6; ++c) t(static_cast<int>(id), c) = finite(r, w[static_cast<std::size_t>(c) + 1]);
    } else {
      if (w.size() != 4) r.fail("expected a node and three values");
      if (id < 1 || id > nn) r.fail("node " + std::to_string(id) + " is not one of the shell's " + std::to_string(nn));
      if (seen[static_cast<std::size_t>(id)]) r.fail("node " + std::to_string(id) + " given twice");
      seen[static_cast<std::size_t>(id)] = 1;
      for (int c = 1; c <= 3; ++c) (*target)(static_cast<int>(id), c) = finite(r, w[static_cast<std::size_t>(c)]);
    }
    ++rows;
  }
  close();
  for (int k = 0; k < 3; ++k)
    if (counts[k] < steps) {
      const char* what = k == 0 ? "displacements" : k == 1 ? "nodal forces" : "stresses";
      r.fail_at_end(std::string("expected the ") + what + " of " + std::to_string(steps) + " load cases, found " + std::to_string(counts[k]));
    }
  if (buckling && (res.factors.empty() || res.modes.empty()))
    r.fail_at_end("expected buckling factors and the displacements of their modes, found none");
  return res;
}

}  // namespace domica
