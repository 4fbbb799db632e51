#include "io/shell.h"

#include <initializer_list>
#include <string>

#include "model/failure.h"
#include "io/text.h"

namespace domica {

shell_rec read_shell(const std::string& path, const std::string& name) {
  text_file t = open_text(path, name);
  return read_shell(t);
}

namespace {

struct field {
  double* at;
  const char* what;
};

// A value that no material can have is reported at the line of its record.
void check(const text_file& t, int line, bool ok, const std::string& message) {
  if (!ok) input_error(t, line, message);
}

// One record of real values, read in order.
void read_record(text_file& t, std::initializer_list<field> fields) {
  for (const field& f : fields) *f.at = read_real(t, f.what);
  end_record(t);
}

}  // namespace

shell_rec read_shell(text_file& t) {
  shell_rec s;
  scan(t, "the shell data");
  s.thick = read_real(t, "thick");
  if (!(s.thick > 0.0)) input_error(t, t.line, "the shell thickness thick must be greater than 0");
  read_record(t, {{&s.gravity, "gravity"}, {&s.pressure, "pressure"}, {&s.temp, "temp"}});
  concrete_rec& c = s.concrete;
  scan(t, "the concrete data");
  int line = t.line;
  read_record(t, {{&c.ex, "concrete ex"}, {&c.nuxy, "concrete nuxy"}, {&c.dens, "concrete dens"}, {&c.alpx, "concrete alpx"},
                  {&c.fc, "concrete fc"}, {&c.ft, "concrete ft"}, {&c.c1, "concrete c1"}, {&c.c2, "concrete c2"}});
  // The crushing stress fc is free: -1 is the switch that turns crushing off.
  check(t, line, c.ex > 0.0, "Young's modulus of the concrete ex must be greater than 0, found " + exact(c.ex));
  check(t, line, c.nuxy > -1.0 && c.nuxy <= 0.5, "Poisson's ratio of the concrete nuxy must lie in -1 < nuxy <= 0.5, found " + exact(c.nuxy));
  check(t, line, c.dens >= 0.0, "the density of the concrete dens must not be negative, found " + exact(c.dens));
  steel_rec& st = s.steel;
  scan(t, "the steel data");
  line = t.line;
  read_record(t, {{&st.ex, "steel ex"}, {&st.dens, "steel dens"}, {&st.alpx, "steel alpx"}, {&st.vr, "steel vr"}});
  check(t, line, st.ex > 0.0, "Young's modulus of the steel ex must be greater than 0, found " + exact(st.ex));
  check(t, line, st.dens >= 0.0, "the density of the steel dens must not be negative, found " + exact(st.dens));
  check(t, line, st.vr >= 0.0 && st.vr <= 1.0, "the reinforcement ratio vr must lie in 0..1, found " + exact(st.vr));
  return s;
}

}  // namespace domica
