#pragma once

#include <optional>
#include <string_view>

namespace tovimar {

// Reads the text of a condition entry as a number. A number is: optional spaces (0x20 only),
// an optional "+" or "-", decimal digits with at most one "." among them (at least one
// digit, so "5.", ".5" and "5" are numbers but "." is not), optionally "E" or "e" followed
// by an optional sign and at least one digit, optional spaces, and nothing else. The
// decimal separator is always the point, whatever the process locale.
//
// Not a number: an empty text, spaces only, a comma (decimal or thousands), a tab or any
// other character, "inf"/"nan", hexadecimal, and a value beyond the range of the target
// type. A value too small for the target type becomes zero of the same sign.

// The value with a 64-bit significand (long double on x86-64).
std::optional<long double> ParseNumberLongDouble(std::string_view text);

// The value parsed with a 64-bit significand and then rounded to a double. A value that
// fits a long double but not a double (1e400) is not a number; one too small for a double
// (1e-400) becomes 0.0 or -0.0.
std::optional<double> ParseNumber(std::string_view text);

}  // namespace tovimar
