#include "input/number_parse.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <system_error>

namespace tovimar {

namespace {

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

// The checked shape of a number: its sign and the unsigned part (digits, point, exponent)
// without the surrounding spaces.
struct NumberShape {
  bool negative = false;
  std::string_view body;
  // Decimal exponent of the leading non-zero digit, saturated; only for telling a value
  // too large from one too small when the conversion reports it out of range.
  long long magnitude = 0;
};

constexpr long long MagnitudeLimit = 1'000'000'000LL;

std::optional<NumberShape> CheckShape(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && text[i] == ' ') {
    ++i;
  }
  NumberShape shape;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    shape.negative = text[i] == '-';
    ++i;
  }
  const std::size_t bodyStart = i;

  // Digits with at most one point among them.
  bool point = false;
  int digits = 0;
  long long integerDigits = 0;       // digits before the point, after leading zeros
  long long leadingFractionZeros = 0;  // zeros after the point before the first non-zero
  bool nonZeroSeen = false;
  for (; i < n; ++i) {
    const char ch = text[i];
    if (IsDigit(ch)) {
      ++digits;
      if (ch != '0') {
        nonZeroSeen = true;
      }
      if (!point) {
        if (nonZeroSeen && integerDigits < MagnitudeLimit) {
          ++integerDigits;
        }
      } else if (!nonZeroSeen && leadingFractionZeros < MagnitudeLimit) {
        ++leadingFractionZeros;
      }
    } else if (ch == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) {
    return std::nullopt;
  }

  long long exponent = 0;
  if (i < n && (text[i] == 'E' || text[i] == 'e')) {
    ++i;
    bool exponentNegative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
      exponentNegative = text[i] == '-';
      ++i;
    }
    int exponentDigits = 0;
    for (; i < n && IsDigit(text[i]); ++i) {
      ++exponentDigits;
      if (exponent < MagnitudeLimit) {
        exponent = exponent * 10 + (text[i] - '0');
      }
    }
    if (exponentDigits == 0) {
      return std::nullopt;
    }
    if (exponentNegative) {
      exponent = -exponent;
    }
  }
  const std::size_t bodyEnd = i;

  while (i < n && text[i] == ' ') {
    ++i;
  }
  if (i != n) {
    return std::nullopt;
  }
  shape.body = text.substr(bodyStart, bodyEnd - bodyStart);
  shape.magnitude = (integerDigits > 0 ? integerDigits - 1 : -(leadingFractionZeros + 1)) + exponent;
  return shape;
}

}  // namespace

std::optional<long double> ParseNumberLongDouble(std::string_view text) {
  const std::optional<NumberShape> shape = CheckShape(text);
  if (!shape) {
    return std::nullopt;
  }
  // std::from_chars reads the plain decimal form independently of the locale; the shape
  // check above has already refused everything else it would accept (inf, nan).
  long double value = 0;
  const char* first = shape->body.data();
  const char* last = first + shape->body.size();
  const std::from_chars_result result =
      std::from_chars(first, last, value, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    // A value too large is not a number; one too small becomes zero.
    if (shape->magnitude > 0) {
      return std::nullopt;
    }
    value = 0;
  } else if (result.ec != std::errc() || result.ptr != last || !std::isfinite(value)) {
    return std::nullopt;
  }
  return shape->negative ? -value : value;
}

std::optional<double> ParseNumber(std::string_view text) {
  const std::optional<long double> wide = ParseNumberLongDouble(text);
  if (!wide) {
    return std::nullopt;
  }
  // Half a unit in the last place above the largest double: from there on the value would
  // round to infinity, so it does not fit a double.
  constexpr long double Overflow = 0x1.fffffffffffff8p1023L;
  if (std::fabs(*wide) >= Overflow) {
    return std::nullopt;
  }
  return static_cast<double>(*wide);
}

}  // namespace tovimar
