#include "format/fixed_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "format/decimal_expansion.h"

namespace tovimar {

namespace {

// Significant digits of the first expansion of a value.
constexpr int ExpansionDigits = DecimalExpansionDigits;

constexpr int MinPrecision = 2;
constexpr int MaxPrecision = 18;
constexpr int MinDecimals = 0;
constexpr int MaxDecimals = 18;

// The power of ten is padded with zeros to D digits only up to this many decimals.
constexpr int MaxPaddedPowerDigits = 4;

void CheckFormat(int P, int D) {
  if (P < MinPrecision || P > MaxPrecision || D < MinDecimals || D > MaxDecimals) {
    throw std::invalid_argument("number format out of range: P " + std::to_string(P) + ", D " +
                                std::to_string(D) + " (P 2 to 18, D 0 to 18)");
  }
}

constexpr std::array<std::uint64_t, ExpansionDigits + 1> Pow10 = [] {
  std::array<std::uint64_t, ExpansionDigits + 1> t{};
  std::uint64_t p = 1;
  for (auto& entry : t) {
    entry = p;
    p *= 10;
  }
  return t;
}();

// The kept decimal digits of a value: digit[0..count) with the value
// d0.d1d2... x 10^exponent.
struct Digits {
  char digit[ExpansionDigits];
  int count = 0;
  int exponent = 0;
};

// Step 2: keeps `keep` leading digits of the 18-digit expansion, rounding half away from
// zero on the discarded part. Returns false when nothing is left (the value rounds to zero).
bool RoundExpansion(const DecimalExpansion& x, int keep, Digits& d) {
  std::uint64_t kept = 0;
  int count = keep;
  d.exponent = x.exponent;
  if (keep < 0) {
    // Every digit lies below half of the last kept decimal place.
    return false;
  }
  if (keep == 0) {
    // The first digit sits just below the last kept place: one unit of that place, or none.
    if (x.digits < 5 * Pow10[ExpansionDigits - 1]) {
      return false;
    }
    kept = 1;
    count = 1;
    d.exponent += 1;
  } else if (keep >= ExpansionDigits) {
    kept = x.digits;
    count = ExpansionDigits;
  } else {
    const std::uint64_t unit = Pow10[static_cast<std::size_t>(ExpansionDigits - keep)];
    kept = x.digits / unit;
    if (x.digits - kept * unit >= unit / 2) {
      ++kept;
      if (kept == Pow10[static_cast<std::size_t>(keep)]) {
        // 99..9 became 100..0: one more integer digit, the same number of kept digits.
        kept /= 10;
        d.exponent += 1;
      }
    }
  }
  d.count = count;
  for (int i = count - 1; i >= 0; --i) {
    d.digit[i] = static_cast<char>('0' + kept % 10);
    kept /= 10;
  }
  return true;
}

std::size_t WriteZero(char* out, int D) {
  std::size_t n = 0;
  out[n++] = '0';
  out[n++] = '.';
  for (int j = 0; j < D; ++j) {
    out[n++] = '0';
  }
  return n;
}

// Step 4: sign, first digit, the further kept digits up to the last non-zero one, "E" and
// the power of ten.
std::size_t WriteExponentForm(char* out, const Digits& d, bool negative, int D) {
  std::size_t n = 0;
  if (negative) {
    out[n++] = '-';
  }
  out[n++] = d.digit[0];
  int last = d.count - 1;
  while (last > 0 && d.digit[last] == '0') {
    --last;
  }
  if (last > 0) {
    out[n++] = '.';
    for (int i = 1; i <= last; ++i) {
      out[n++] = d.digit[i];
    }
  }
  out[n++] = 'E';
  // The exponent form is reached only for integer parts of more than P >= 2 digits, so the
  // power is positive; it is at most 308.
  char power[8];
  const std::to_chars_result r = std::to_chars(power, power + sizeof power, d.exponent);
  const int powerDigits = static_cast<int>(r.ptr - power);
  if (D <= MaxPaddedPowerDigits) {
    for (int i = powerDigits; i < D; ++i) {
      out[n++] = '0';
    }
  }
  for (int i = 0; i < powerDigits; ++i) {
    out[n++] = power[i];
  }
  return n;
}

// Step 3: sign, integer digits ("0" below 1), the point and exactly D decimals, with zeros
// beyond the kept digits.
std::size_t WriteFixedForm(char* out, const Digits& d, bool negative, int D) {
  std::size_t n = 0;
  if (negative) {
    out[n++] = '-';
  }
  if (d.exponent < 0) {
    out[n++] = '0';
  } else {
    // The integer part has at most P digits here. Its last digit can lie beyond the kept
    // ones only after a carry with no decimals (9.5 to 0 decimals is 10).
    for (int i = 0; i <= d.exponent; ++i) {
      out[n++] = i < d.count ? d.digit[i] : '0';
    }
  }
  out[n++] = '.';
  for (int j = 1; j <= D; ++j) {
    const int i = d.exponent + j;
    out[n++] = i >= 0 && i < d.count ? d.digit[i] : '0';
  }
  return n;
}

}  // namespace

std::size_t FixedFormatInto(char* buffer, double v, int P, int D) {
  CheckFormat(P, D);
  if (!std::isfinite(v)) [[unlikely]] {
    throw NonFiniteValueError(std::isnan(v)
                                  ? "Arithmetic error: a value to be written is not a number."
                                  : "Arithmetic error: a value to be written is infinite.");
  }
  if (v == 0) {
    return WriteZero(buffer, D);  // -0.0 included: a zero has no sign
  }
  // Step 1: 18 significant digits, rounded to nearest.
  const DecimalExpansion x = ExpandDecimal(std::fabs(v));
  // Digit i stands for 10^(exponent - i): P significant digits are digits 0..P-1, D decimals
  // are the digits down to 10^-D, that is 0..exponent+D.
  const int keep = std::min(P, x.exponent + D + 1);
  Digits d;
  if (!RoundExpansion(x, keep, d)) {
    return WriteZero(buffer, D);
  }
  const bool negative = v < 0;
  const int integerDigits = d.exponent + 1;
  if (integerDigits > P) {
    return WriteExponentForm(buffer, d, negative, D);
  }
  return WriteFixedForm(buffer, d, negative, D);
}

void AppendFixedFormat(std::string& out, double v, int P, int D) {
  char buffer[FixedFormatBufferSize];
  const std::size_t n = FixedFormatInto(buffer, v, P, D);
  out.append(buffer, n);
}

std::string FixedFormat(double v, int P, int D) {
  std::string text;
  AppendFixedFormat(text, v, P, D);
  return text;
}

}  // namespace tovimar
