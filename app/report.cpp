#include "app/report.h"

#include <cstdio>
#include <exception>
#include <new>

#include "model/failure.h"

namespace domica {

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
    // Checked sizes are refused before the solution (status 2); running out
    // of memory while solving is a failed solution.
    std::fprintf(stderr, "%s: out of memory: the run needed more than it could get (this machine's memory or ulimit -v); no output written\n",
                 program);
    status = exit_solution;
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
