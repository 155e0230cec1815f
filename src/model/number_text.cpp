#include "model/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <system_error>

namespace tovimar {

namespace {

// The digits before the point stop meaning anything from here: a double holds 15 to 17
// significant digits.
constexpr double FixedTextLimit = 1e15;

const char* NonFiniteText(double value) {
  return std::isnan(value) ? "nan" : value > 0 ? "inf" : "-inf";
}

bool ShowsAsZero(const std::string& text) {
  return std::none_of(text.begin(), text.end(), [](char c) { return c >= '1' && c <= '9'; });
}

}  // namespace

std::string ShortNumber(double value, int digits) {
  if (!std::isfinite(value)) {
    return NonFiniteText(value);
  }
  if (value == 0) {
    return "0";
  }
  // "-2.2250738585072014e-308" is the longest text of at most 17 significant digits.
  std::array<char, 32> buffer;
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::general, std::clamp(digits, 1, 17));
  return std::string(buffer.data(), result.ptr);
}

std::string FixedNumber(double value, int decimals, SmallValues small) {
  if (!std::isfinite(value)) {
    return NonFiniteText(value);
  }
  if (std::fabs(value) >= FixedTextLimit) {
    return ShortNumber(value, 6);
  }
  // A sign, 16 digits (a value just below 1e15 may round up to 1e15), the point and 17
  // decimals.
  std::array<char, 40> buffer;
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::fixed, std::clamp(decimals, 0, 17));
  std::string text(buffer.data(), result.ptr);
  if (ShowsAsZero(text)) {
    if (value != 0 && small == SmallValues::AsDigits) {
      return ShortNumber(value, 2);
    }
    if (text.front() == '-') {
      text.erase(0, 1);
    }
  }
  return text;
}

}  // namespace tovimar
