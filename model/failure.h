// The one way a run fails: an exception carrying a single line for standard
// error and the exit status that tells the kind of failure.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace domica {

// Exit statuses of the three programs.
enum exit_status : int {
  exit_ok = 0,
  exit_unconverged = 1,  // results written, but the solution did not converge
  exit_input = 2,     // weblar.txt or shell.txt missing, malformed or inconsistent
  exit_solution = 3,  // the solution failed: Line Search Failure, singular tangent, non-finite shape
  exit_output = 4,    // autocad.scr or ansys.txt could not be written
  exit_internal = 5,  // a fault of the program itself (should never happen)
};

struct failure : std::runtime_error {
  failure(exit_status status, const std::string& line) : std::runtime_error(line), status(status) {}
  exit_status status;
};

// A number of the input as a message shows it: every digit that tells it
// apart (%.17g), so the value named is exactly the value read.
std::string exact(double v);

// Quote a piece of input for a message: printable characters as they are,
// others as \xNN, long text shortened.
std::string quoted(const std::string& text, std::size_t limit = 40);

}  // namespace domica
