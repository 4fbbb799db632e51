#include "solve/lines.h"

#include <cmath>

#include "model/format.h"

namespace domica {

long long whole_seconds(double seconds) { return std::llround(seconds); }

std::string elapsed_line(double seconds) {
  std::string out = "Elapsed time = ";
  put_int(out, whole_seconds(seconds), 11);
  out += " seconds\n";
  return out;
}

double seconds_since(std::chrono::steady_clock::time_point clock1) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - clock1).count();
}

std::string major_line(int major, int minor) {
  std::string out = "Major = ";
  put_int(out, major, 5);
  out += "   Minor = ";
  put_int(out, minor, 5);
  out += '\n';
  return out;
}

std::string not_attained_line(int major) {
  std::string out = "Convergence was not attained at major = ";
  put_int(out, major, 5);
  out += '\n';
  return out;
}

}  // namespace domica
