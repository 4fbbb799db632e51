#include "common/shell.h"

#include <initializer_list>

#include "common/text.h"

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
  read_record(t, {{&c.ex, "concrete ex"}, {&c.nuxy, "concrete nuxy"}, {&c.dens, "concrete dens"}, {&c.alpx, "concrete alpx"},
                  {&c.fc, "concrete fc"}, {&c.ft, "concrete ft"}, {&c.c1, "concrete c1"}, {&c.c2, "concrete c2"}});
  steel_rec& st = s.steel;
  scan(t, "the steel data");
  read_record(t, {{&st.ex, "steel ex"}, {&st.dens, "steel dens"}, {&st.alpx, "steel alpx"}, {&st.vr, "steel vr"}});
  return s;
}

}  // namespace domica
