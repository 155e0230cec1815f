// The number parser over arbitrary text. It must never crash, give only finite values, and
// agree with a separately written check of the number's shape and with the C library's
// conversion of the same text.
//
// The process runs in a comma-decimal locale when one is installed (de_DE.UTF-8), so every
// input also checks that the parser ignores the locale; the reference conversion uses the
// "C" locale explicitly.

#include <cerrno>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <locale.h>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "input/number_parse.h"

namespace {

using tovimar::fuzz::Quote;

bool AllDigits(std::string_view s) {
  for (const char ch : s) {
    if (ch < '0' || ch > '9') return false;
  }
  return true;
}

// The accepted shape, checked piece by piece: spaces (0x20) around, an optional sign,
// a mantissa of digits with at most one point and at least one digit, an optional
// exponent of "E" or "e", an optional sign and at least one digit. Returns the text
// without the spaces, or nothing.
std::optional<std::string> ReferenceShape(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::nullopt;
  const std::size_t last = text.find_last_not_of(' ');
  const std::string_view core = text.substr(first, last - first + 1);

  std::size_t i = 0;
  if (core[0] == '+' || core[0] == '-') i = 1;
  const std::size_t e = core.find_first_of("eE", i);
  const std::string_view mantissa = core.substr(i, e == std::string_view::npos ? std::string_view::npos : e - i);

  std::size_t points = 0, digits = 0;
  for (const char ch : mantissa) {
    if (ch == '.') ++points;
    else if (ch >= '0' && ch <= '9') ++digits;
    else return std::nullopt;
  }
  if (points > 1 || digits == 0) return std::nullopt;

  if (e != std::string_view::npos) {
    std::string_view exponent = core.substr(e + 1);
    if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) exponent.remove_prefix(1);
    if (exponent.empty() || !AllDigits(exponent)) return std::nullopt;
  }
  return std::string(core);
}

locale_t CLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c;
}

const bool CommaLocale = [] { return std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr; }();

bool SameValue(long double a, long double b) {
  return a == b && std::signbit(a) == std::signbit(b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  (void)CommaLocale;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string where = "text " + Quote(text);

  const std::optional<long double> wide = tovimar::ParseNumberLongDouble(text);
  const std::optional<double> value = tovimar::ParseNumber(text);
  if (wide) TOVIMAR_FUZZ_CHECK(std::isfinite(*wide), where + ": not finite");
  if (value) TOVIMAR_FUZZ_CHECK(std::isfinite(*value), where + ": not finite");

  const std::optional<std::string> shape = ReferenceShape(text);
  if (!shape) {
    TOVIMAR_FUZZ_CHECK(!wide && !value, where + ": accepted, but it is not a number");
    return 0;
  }

  // The reference value with a 64-bit significand.
  errno = 0;
  char* end = nullptr;
  const long double reference = strtold_l(shape->c_str(), &end, CLocale());
  const bool rangeError = errno == ERANGE;
  TOVIMAR_FUZZ_CHECK(end == shape->c_str() + shape->size(), where + ": reference stopped early");

  if (std::isinf(reference)) {
    TOVIMAR_FUZZ_CHECK(!wide && !value, where + ": a value beyond the long double range accepted");
    return 0;
  }
  TOVIMAR_FUZZ_CHECK(wide.has_value(), where + ": refused a long double value");
  const bool negative = shape->front() == '-';
  if (rangeError && std::fabs(reference) < LDBL_MIN) {
    // Too small: zero of the text's sign, or the subnormal value itself.
    TOVIMAR_FUZZ_CHECK(SameValue(*wide, negative ? -0.0L : 0.0L) || SameValue(*wide, reference),
                       where + ": a value too small became something else");
  } else {
    TOVIMAR_FUZZ_CHECK(SameValue(*wide, reference), where + ": long double value differs");
  }

  // The double: the long double value rounded to nearest; a value that rounds beyond the
  // largest double is not a number.
  const long double w = *wide;
  const long double halfwayPastMax = std::ldexp(1.0L, 1024) - std::ldexp(1.0L, 1024 - 54);
  if (std::fabs(w) <= static_cast<long double>(DBL_MAX)) {
    TOVIMAR_FUZZ_CHECK(value.has_value(), where + ": refused a double value");
    TOVIMAR_FUZZ_CHECK(SameValue(*value, static_cast<double>(w)), where + ": double value differs");
  } else if (std::fabs(w) < halfwayPastMax) {
    TOVIMAR_FUZZ_CHECK(value.has_value() && std::fabs(*value) == DBL_MAX && std::signbit(*value) == negative,
                       where + ": should round to the largest double");
  } else {
    TOVIMAR_FUZZ_CHECK(!value, where + ": a value beyond the double range accepted");
  }
  return 0;
}
