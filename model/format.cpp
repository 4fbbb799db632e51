#include "model/format.h"

#include <cstdio>

namespace domica {

// A zero is written without sign: -0.0 and 0.0 are the same coordinate or angle.
void put_sci(std::string& out, double v) {
  if (v == 0.0) v = 0.0;
  char buf[40];
  int k = std::snprintf(buf, sizeof buf, "%.8E", v);
  out.append(buf, static_cast<std::size_t>(k));
}

void put_sci_signed(std::string& out, double v) {
  if (v == 0.0) v = 0.0;
  char buf[40];
  int k = std::snprintf(buf, sizeof buf, "% .8E", v);
  out.append(buf, static_cast<std::size_t>(k));
}

void put_int(std::string& out, long long v, int width) {
  char buf[40];
  int k = std::snprintf(buf, sizeof buf, "%*lld", width, v);
  out.append(buf, static_cast<std::size_t>(k));
}

std::string six_digits(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  return buf;
}

}  // namespace domica
