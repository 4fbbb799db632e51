#include "app/report.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <new>

#include "model/failure.h"
#include "io/format.h"

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

int guarded_main(const char* program, const std::function<void()>& body) {
  int status = exit_ok;
  try {
    body();
  } catch (const failure& f) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s: %s\n", program, f.what());
    status = f.status;
  } catch (const std::bad_alloc&) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s: out of memory: the net is too large for this machine\n", program);
    status = exit_input;
  } catch (const std::exception& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s: internal error: %s\n", program, e.what());
    status = exit_internal;
  } catch (...) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s: internal error: an unexpected failure of the program\n", program);
    status = exit_internal;
  }
  std::fflush(stdout);
  return status;
}

}  // namespace domica
