// Console lines shared by the drivers.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace domica {

// Whole seconds, rounded to the nearest integer with halves away from zero.
long long whole_seconds(double seconds);

// "Elapsed time = " + whole seconds right-aligned in 11 characters + " seconds\n".
std::string elapsed_line(double seconds);

// Seconds from clock1 to now.
double seconds_since(std::chrono::steady_clock::time_point clock1);

// "Major = " + major in 5 + "   Minor = " + minor in 5 + "\n".
std::string major_line(int major, int minor);

// "Convergence was not attained at major = " + major in 5 + "\n".
std::string not_attained_line(int major);

// Run a driver body: a failure prints its one line on standard error (after
// flushing what the run printed on standard output) and gives its exit status;
// anything else that escapes the body is an internal error (exit 5), also
// reported in one line.
int guarded_main(const char* program, const std::function<void()>& body);

}  // namespace domica
