#include "app/warning.h"

#include <cstdio>

namespace domica {

void warn(program variant, const std::string& text) {
  std::fflush(stdout);
  std::fprintf(stderr, "%s: warning: %s\n", program_name(variant), text.c_str());
}

}  // namespace domica
