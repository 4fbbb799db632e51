// The programs' own console lines, as the solutions hand them to their
// observer and the console programs print them on standard output.
#pragma once

#include <chrono>
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

}  // namespace domica
