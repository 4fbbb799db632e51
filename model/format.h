// Number formats of the output files and the console.
#pragma once

#include <string>

namespace domica {

// Scientific notation, one digit before the point, eight after, exponent of
// at least two digits, no padding: 1.25000000E+00, -3.00000000E-01.
void put_sci(std::string& out, double v);

// As put_sci, with a blank in front of a value that has no minus sign.
void put_sci_signed(std::string& out, double v);

// Integer right-aligned in a field of `width` characters (wider when it needs more).
void put_int(std::string& out, long long v, int width);

// v with six significant digits (%.6g), for the designer's lines.
std::string six_digits(double v);

}  // namespace domica
