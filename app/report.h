// How a console program ends: a failure becomes its one line on standard
// error and its exit status.
#pragma once

#include <functional>
#include <string>

namespace domica {

// Run a driver body: a failure prints its one line on standard error (after
// flushing what the run printed on standard output) and gives its exit status;
// anything else that escapes the body is an internal error (exit 5), also
// reported in one line.
int guarded_main(const char* program, const std::function<void()>& body);

}  // namespace domica
