#pragma once

#include <cstddef>
#include <string>

#include "model/arithmetic.h"

namespace tovimar {

// The one number-to-text format of every file the program writes: fixed-point text with at
// most `P` significant digits and exactly `D` decimals (P 2..18, D 0..18), a point as the
// decimal separator whatever the locale, and the exponent form when the rounded integer
// part has more than P digits.
//
// The value is first expanded to 18 significant digits (rounded to nearest), and that digit
// string is rounded, half away from zero, to the smaller of P significant digits and D
// decimals. A value that rounds to zero has no sign. Examples: (123456.789, 8, 3) gives
// "123456.790", (123456789, 8, 3) "1.2345679E008", (-0.0004, 6, 3) "0.000".
//
// A P or D outside its range throws std::invalid_argument. A value that is not finite has
// no text: it throws NonFiniteValueError, so that a run meeting one ends as an arithmetic
// fault and no "NAN" or "INF" ever reaches a file. (The model refuses such values where
// they arise; this is the last guard.)
std::string FixedFormat(double v, int P, int D);

// The value given to FixedFormat is NaN or an infinity.
class NonFiniteValueError : public ArithmeticError {
 public:
  using ArithmeticError::ArithmeticError;
};

// The same, appended to `out` (no allocation when `out` has room).
void AppendFixedFormat(std::string& out, double v, int P, int D);

// Room for the longest text FixedFormat can give: a sign, 18 integer digits, the point and
// 18 decimals.
inline constexpr std::size_t FixedFormatBufferSize = 40;

// The same, written into `buffer`, which must hold FixedFormatBufferSize characters (no
// terminating NUL is written). Returns the length of the text.
std::size_t FixedFormatInto(char* buffer, double v, int P, int D);

}  // namespace tovimar
