// FixedFormat over any double and any P and D. The text must be the fixed form with exactly
// D decimals (or the exponent form when the rounded integer part has more than P digits),
// carry at most P significant digits, lie within half a unit of its last kept digit of the
// value, have no sign on zero, and never spell a non-finite value.
//
// Input: a mode byte, P, D, then the bytes of the value. Mode 0 takes the 8 bytes as the
// double's bits (every double, NaN and infinities included); modes 1 and 2 form short
// decimal fractions and large round numbers (integer / 10^k, integer * 10^k), where the
// rounding ties and carries live.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <system_error>

#include "fuzz_support.h"
#include "format/fixed_format.h"

namespace {

using tovimar::fuzz::ByteReader;

double ValueFromInput(ByteReader& in) {
  const std::uint8_t mode = in.Byte() % 3;
  if (mode == 0) {
    return in.Raw<double>();
  }
  const auto mantissa = in.Raw<std::int64_t>();
  const int power = in.Byte() % 24;
  const double base = static_cast<double>(mantissa % 100000000000000000LL);  // 17 digits
  const double scale = std::pow(10.0, power);
  return mode == 1 ? base / scale : base * scale;
}

// The decimal exponent of |v| (the power of ten of its first significant digit).
int DecimalExponent(double v) {
  char text[64];
  const std::to_chars_result r =
      std::to_chars(text, text + sizeof text, std::fabs(v), std::chars_format::scientific, 17);
  *r.ptr = '\0';
  const char* e = std::strchr(text, 'e');
  return std::atoi(e + 1);
}

struct Parsed {
  bool negative = false;
  bool exponentForm = false;
  std::string integerDigits;   // fixed form
  std::string decimalDigits;   // fixed form
  std::string mantissaDigits;  // exponent form, without the point
  std::string powerText;       // exponent form
};

bool IsDigits(const std::string& s) {
  for (const char ch : s) {
    if (ch < '0' || ch > '9') return false;
  }
  return true;
}

// Splits the text into its parts; false when it has neither form.
bool Parse(const std::string& text, Parsed& p) {
  std::size_t i = 0;
  if (i < text.size() && text[i] == '-') {
    p.negative = true;
    ++i;
  }
  const std::string body = text.substr(i);
  const std::size_t e = body.find('E');
  if (e != std::string::npos) {
    p.exponentForm = true;
    const std::string mantissa = body.substr(0, e);
    p.powerText = body.substr(e + 1);
    if (mantissa.empty() || p.powerText.empty() || !IsDigits(p.powerText)) return false;
    const std::size_t point = mantissa.find('.');
    if (point == std::string::npos) {
      p.mantissaDigits = mantissa;
      return mantissa.size() == 1 && IsDigits(mantissa) && mantissa != "0";
    }
    if (point != 1) return false;
    p.mantissaDigits = mantissa.substr(0, 1) + mantissa.substr(2);
    // A point is followed by digits ending in a non-zero one.
    return IsDigits(p.mantissaDigits) && p.mantissaDigits[0] != '0' && p.mantissaDigits.size() > 1 &&
           p.mantissaDigits.back() != '0';
  }
  const std::size_t point = body.find('.');
  if (point == std::string::npos || point == 0) return false;
  p.integerDigits = body.substr(0, point);
  p.decimalDigits = body.substr(point + 1);
  if (!IsDigits(p.integerDigits) || !IsDigits(p.decimalDigits)) return false;
  // No leading zero but the single "0" below 1.
  return p.integerDigits == "0" || p.integerDigits[0] != '0';
}

// Digits from the first non-zero one to the last non-zero one.
std::size_t SignificantDigits(const std::string& digits) {
  const std::size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return 0;
  const std::size_t last = digits.find_last_not_of('0');
  return last - first + 1;
}

// A decimal number as its significant digits (no leading or trailing zeros) and the power
// of ten of the first one; zero has no digits.
struct Normalized {
  std::string digits;
  int exponent = 0;
  bool operator==(const Normalized&) const = default;
};

Normalized Normalize(const std::string& digits, int exponentOfFirst) {
  const std::size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return {};
  const std::size_t last = digits.find_last_not_of('0');
  return {digits.substr(first, last - first + 1), exponentOfFirst - static_cast<int>(first)};
}

Normalized NormalizedText(const Parsed& p) {
  if (p.exponentForm) {
    return Normalize(p.mantissaDigits, std::atoi(p.powerText.c_str()));
  }
  return Normalize(p.integerDigits + p.decimalDigits, static_cast<int>(p.integerDigits.size()) - 1);
}

// The rounding done over decimal strings: the value's 18 significant digits (rounded to
// nearest by std::to_chars), then rounded half away from zero to the smaller of P
// significant digits and D decimals.
Normalized ReferenceRounding(double v, int P, int D) {
  char text[64];
  const std::to_chars_result r =
      std::to_chars(text, text + sizeof text, std::fabs(v), std::chars_format::scientific, 17);
  const std::string s(text, r.ptr);
  std::string digits = s.substr(0, 1) + s.substr(2, 17);
  int exponent = std::atoi(s.c_str() + s.find('e') + 1);
  const int keep = std::min(P, exponent + D + 1);
  if (keep < 0) return {};
  if (keep == 0) {
    return digits[0] >= '5' ? Normalized{"1", exponent + 1} : Normalized{};
  }
  const bool up = keep < 18 && digits[static_cast<std::size_t>(keep)] >= '5';
  digits.resize(static_cast<std::size_t>(std::min(keep, 18)));
  if (up) {
    int i = static_cast<int>(digits.size()) - 1;
    while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') {
      digits[static_cast<std::size_t>(i)] = '0';
      --i;
    }
    if (i < 0) {
      digits.insert(digits.begin(), '1');
      ++exponent;
    } else {
      ++digits[static_cast<std::size_t>(i)];
    }
  }
  return Normalize(digits, exponent);
}

void CheckText(double v, int P, int D, const std::string& text) {
  using tovimar::fuzz::Quote;
  char valueText[64];
  std::snprintf(valueText, sizeof valueText, "%.17g (%a)", v, v);
  const std::string where =
      std::string("FixedFormat(") + valueText + ", " + std::to_string(P) + ", " +
      std::to_string(D) + ") = " + Quote(text);

  TOVIMAR_FUZZ_CHECK(!tovimar::fuzz::HasNonFiniteWord(text), where);
  TOVIMAR_FUZZ_CHECK(text.size() <= tovimar::FixedFormatBufferSize, where);
  Parsed p;
  TOVIMAR_FUZZ_CHECK(Parse(text, p), where + ": neither the fixed nor the exponent form");

  const bool zero = p.exponentForm ? false
                                   : SignificantDigits(p.integerDigits + p.decimalDigits) == 0;
  TOVIMAR_FUZZ_CHECK(!(zero && p.negative), where + ": a zero with a sign");
  if (!zero) {
    TOVIMAR_FUZZ_CHECK(p.negative == (v < 0), where + ": wrong sign");
  }

  if (p.exponentForm) {
    TOVIMAR_FUZZ_CHECK(p.mantissaDigits.size() <= static_cast<std::size_t>(P),
                       where + ": more than P digits");
    const int power = std::atoi(p.powerText.c_str());
    // Only an integer part of more than P digits takes the exponent form.
    TOVIMAR_FUZZ_CHECK(power + 1 > P, where + ": exponent form for a short integer part");
    // The power is padded with zeros to D digits, but only for D up to 4.
    const std::size_t minPowerDigits = D <= 4 ? static_cast<std::size_t>(D) : 1;
    const std::size_t unpadded = std::to_string(power).size();
    TOVIMAR_FUZZ_CHECK(p.powerText.size() == (unpadded > minPowerDigits ? unpadded : minPowerDigits),
                       where + ": power of ten padded wrongly");
  } else {
    TOVIMAR_FUZZ_CHECK(p.decimalDigits.size() == static_cast<std::size_t>(D),
                       where + ": not exactly D decimals");
    TOVIMAR_FUZZ_CHECK(SignificantDigits(p.integerDigits + p.decimalDigits) <= static_cast<std::size_t>(P),
                       where + ": more than P significant digits");
    if (p.integerDigits != "0") {
      TOVIMAR_FUZZ_CHECK(p.integerDigits.size() <= static_cast<std::size_t>(P),
                         where + ": fixed form for an integer part of more than P digits");
    }
  }

  // Within half a unit of the last kept digit. The unit is the larger of the last decimal
  // and the P-th significant digit (in the exponent form only the latter). The text is
  // rounded from an 18-digit expansion of the value, which may move it by half a unit of
  // the 18th digit more; the long double arithmetic adds a few units of its last place.
  const int exponent = DecimalExponent(v);
  const long double significantUnit = std::pow(10.0L, exponent - P + 1);
  const long double decimalUnit = std::pow(10.0L, -D);
  const long double unit =
      p.exponentForm ? significantUnit : std::max(significantUnit, decimalUnit);
  const long double printed = std::strtold(text.c_str(), nullptr);
  const long double value = v;
  const long double error = std::fabs(printed - value);
  const long double allowed = unit / 2 + std::pow(10.0L, exponent - 17) / 2 +
                              std::fabs(value) * 0x1p-60L + unit * 1e-18L;
  TOVIMAR_FUZZ_CHECK(error <= allowed, where + ": more than half a unit away");

  // And exactly the digits of the documented rounding.
  const Normalized expected = ReferenceRounding(v, P, D);
  const Normalized actual = NormalizedText(p);
  TOVIMAR_FUZZ_CHECK(actual == expected, where + ": the rounding gives " + expected.digits + "E" +
                                             std::to_string(expected.exponent));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ByteReader in(data, size);
  // P and D a little beyond their ranges on both sides.
  const int P = static_cast<int>(in.Byte() % 21) - 1;  // -1 .. 19
  const int D = static_cast<int>(in.Byte() % 21) - 1;  // -1 .. 19
  const double v = ValueFromInput(in);

  const bool formatInRange = P >= 2 && P <= 18 && D >= 0 && D <= 18;
  if (!formatInRange) {
    bool refused = false;
    try {
      (void)tovimar::FixedFormat(v, P, D);
    } catch (const std::invalid_argument&) {
      refused = true;
    }
    TOVIMAR_FUZZ_CHECK(refused, "P " + std::to_string(P) + ", D " + std::to_string(D) +
                                    " accepted");
    return 0;
  }

  // A buffer of exactly the documented size on the heap, so that a longer text is caught.
  const auto buffer = std::make_unique<char[]>(tovimar::FixedFormatBufferSize);
  if (!std::isfinite(v)) {
    int refusals = 0;
    try {
      (void)tovimar::FixedFormat(v, P, D);
    } catch (const tovimar::NonFiniteValueError&) {
      ++refusals;
    }
    std::string out = "kept";
    try {
      tovimar::AppendFixedFormat(out, v, P, D);
    } catch (const tovimar::NonFiniteValueError&) {
      ++refusals;
    }
    try {
      (void)tovimar::FixedFormatInto(buffer.get(), v, P, D);
    } catch (const tovimar::NonFiniteValueError&) {
      ++refusals;
    }
    TOVIMAR_FUZZ_CHECK(refusals == 3 && out == "kept", "a non-finite value was formatted");
    return 0;
  }

  const std::string text = tovimar::FixedFormat(v, P, D);
  CheckText(v, P, D, text);
  // The three entry points agree.
  std::string appended = "x";
  tovimar::AppendFixedFormat(appended, v, P, D);
  TOVIMAR_FUZZ_CHECK(appended == "x" + text, "AppendFixedFormat differs: " + appended);
  const std::size_t n = tovimar::FixedFormatInto(buffer.get(), v, P, D);
  TOVIMAR_FUZZ_CHECK(std::string(buffer.get(), n) == text, "FixedFormatInto differs");
  return 0;
}
