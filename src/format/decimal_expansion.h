#pragma once

#include <cstdint>

namespace tovimar {

// The first step of the number format: a positive finite double expanded to 18 significant
// decimal digits, rounded to nearest (an exact tie to the even digit), as
// digits x 10^(exponent - 17) with 10^17 <= digits < 10^18. It equals what
// std::to_chars(..., std::chars_format::scientific, 17) gives, which is the reference, but
// takes an exact integer path for the values that result files usually hold.
struct DecimalExpansion {
  std::uint64_t digits = 0;
  int exponent = 0;  // the power of ten of the first digit
};

inline constexpr int DecimalExpansionDigits = 18;

// v must be positive and finite.
DecimalExpansion ExpandDecimal(double v);

// The same through std::to_chars only (the reference of the fast path; for tests).
DecimalExpansion ExpandDecimalByToChars(double v);

}  // namespace tovimar
