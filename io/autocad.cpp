#include "io/autocad.h"

#include "model/format.h"
#include "io/outfile.h"

namespace domica {

std::string autocad_text(const net& nt, const surface& sf) {
  std::string out;
  out.reserve(static_cast<std::size_t>(nt.nn) * 48 + static_cast<std::size_t>(nt.ne) * 24 + 64);
  out += "osmode 0\n";
  out += "pface\n";
  for (int glob = 1; glob <= nt.nn; ++glob) {
    put_sci(out, sf.pos(glob, 1));
    out += ',';
    put_sci(out, sf.pos(glob, 2));
    out += ',';
    put_sci(out, sf.pos(glob, 3));
    out += '\n';
  }
  out += '\n';
  for (int e = 1; e <= nt.ne; ++e) {
    out += std::to_string(nt.tri(e)(1)) + ' ' + std::to_string(nt.tri(e)(2)) + ' ' +
           std::to_string(nt.tri(e)(3)) + "\n\n";
  }
  out += '\n';
  out += "zoom ext ext\n";
  return out;
}

void autocad(const net& nt, const surface& sf, const std::string& path) { write_file(path, "autocad.scr", autocad_text(nt, sf)); }

}  // namespace domica
