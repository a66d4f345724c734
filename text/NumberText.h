// Numbers as report text: fifteen significant digits, fixed or exponent form.
#pragma once
#include <string>

// The first count (at most 15) significant decimal digits of value, with the exponent e
// such that value = 0.d1d2... x 10^e. Zero and NaN give all zeros and e = 0.
std::string DecimalDigits(double value, int count, int& exponent, bool& negative);

std::string FormatNumber(double value);

// FormatNumber with a "0" in front of a single digit, for dates and times: 5 gives "05".
std::string TwoDigitText(double value);
