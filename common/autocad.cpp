#include "common/autocad.h"

#include "common/format.h"
#include "common/geometry.h"
#include "common/outfile.h"

namespace domica {

std::string autocad_text(const model& m) {
  std::string out;
  out.reserve(static_cast<std::size_t>(m.nn) * 48 + static_cast<std::size_t>(m.ne) * 24 + 64);
  out += "osmode 0\n";
  out += "pface\n";
  for (int glob = 1; glob <= m.nn; ++glob) {
    fvec3x1 vx;
    vertex(m, glob, vx);
    put_sci(out, vx(1));
    out += ',';
    put_sci(out, vx(2));
    out += ',';
    put_sci(out, vx(3));
    out += '\n';
  }
  out += '\n';
  for (int e = 1; e <= m.ne; ++e) {
    out += std::to_string(m.cst(e).glob(1)) + ' ' + std::to_string(m.cst(e).glob(2)) + ' ' +
           std::to_string(m.cst(e).glob(3)) + "\n\n";
  }
  out += '\n';
  out += "zoom ext ext\n";
  return out;
}

void autocad(const model& m, const std::string& path) { write_file(path, "autocad.scr", autocad_text(m)); }

}  // namespace domica
