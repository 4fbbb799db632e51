#include "common/warning.h"

#include <cstdio>

namespace domica {

const char* program_name(program variant) {
  switch (variant) {
    case program::domica_1: return "domica_1";
    case program::domica_2: return "domica_2";
    default: return "domica_3";
  }
}

void warn(program variant, const std::string& text) {
  std::fflush(stdout);
  std::fprintf(stderr, "%s: warning: %s\n", program_name(variant), text.c_str());
}

}  // namespace domica
