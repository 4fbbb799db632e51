#include "common/shell.h"

#include "common/text.h"

namespace domica {

shell_rec read_shell(const std::string& path, const std::string& name) {
  text_file t = open_text(path, name);
  return read_shell(t);
}

shell_rec read_shell(text_file& t) {
  shell_rec s;
  scan(t, "the shell data");
  s.thick = read_real(t, "thick");
  if (!(s.thick > 0.0)) input_error(t, t.line, "the shell thickness thick must be greater than 0");
  s.gravity = read_real(t, "gravity");
  s.pressure = read_real(t, "pressure");
  s.temp = read_real(t, "temp");
  end_record(t);
  scan(t, "the concrete data");
  s.concrete.ex = read_real(t, "concrete ex");
  s.concrete.nuxy = read_real(t, "concrete nuxy");
  s.concrete.dens = read_real(t, "concrete dens");
  s.concrete.alpx = read_real(t, "concrete alpx");
  s.concrete.fc = read_real(t, "concrete fc");
  s.concrete.ft = read_real(t, "concrete ft");
  s.concrete.c1 = read_real(t, "concrete c1");
  s.concrete.c2 = read_real(t, "concrete c2");
  end_record(t);
  scan(t, "the steel data");
  s.steel.ex = read_real(t, "steel ex");
  s.steel.dens = read_real(t, "steel dens");
  s.steel.alpx = read_real(t, "steel alpx");
  s.steel.vr = read_real(t, "steel vr");
  end_record(t);
  return s;
}

}  // namespace domica
