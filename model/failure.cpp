#include "model/failure.h"
#include "model/problem.h"

#include <cstdio>

namespace domica {

std::string exact(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

std::string quoted(const std::string& text, std::size_t limit) {
  std::string out = "\"";
  std::size_t shown = 0;
  for (unsigned char ch : text) {
    if (shown == limit) {
      out += "...";
      break;
    }
    if (ch >= 0x20 && ch < 0x7f && ch != '"' && ch != '\\') {
      out += static_cast<char>(ch);
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", ch);
      out += buf;
    }
    ++shown;
  }
  return out + "\"";
}

const char* program_name(program variant) {
  switch (variant) {
    case program::domica_1: return "domica_1";
    case program::domica_2: return "domica_2";
    default: return "domica_3";
  }
}

}  // namespace domica
