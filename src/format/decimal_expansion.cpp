#include "format/decimal_expansion.h"

#include <array>
#include <bit>
#include <charconv>
#include <stdexcept>
#include <system_error>

namespace tovimar {

namespace {

// A GCC extension type; -Wpedantic would warn about it without the marker.
__extension__ typedef unsigned __int128 u128;

constexpr std::uint64_t Pow10U64(int n) {
  std::uint64_t p = 1;
  for (int i = 0; i < n; ++i) {
    p *= 10;
  }
  return p;
}

constexpr std::uint64_t LowestExpansion = Pow10U64(DecimalExpansionDigits - 1);  // 10^17
constexpr std::uint64_t ExpansionLimit = Pow10U64(DecimalExpansionDigits);      // 10^18

// The fast path multiplies the 53-bit significand by 10^s with s at most this, which keeps
// the product below 2^127.
constexpr int MaxFastScale = 22;

constexpr std::array<u128, MaxFastScale + 1> Pow10Table = [] {
  std::array<u128, MaxFastScale + 1> t{};
  u128 p = 1;
  for (auto& entry : t) {
    entry = p;
    p *= 10;
  }
  return t;
}();

// floor(k x log10(2)) for the binary exponents of the fast path (|k| well below 1000).
constexpr int FloorLog10Pow2(int k) { return (k * 78913) >> 18; }

enum class Scaled { Fits, TooLarge, TooSmall, OutOfRange };

// round(m x 2^q x 10^s) to nearest, a tie to even, when it lies in [10^17, 10^18].
Scaled ScaleExactly(std::uint64_t m, int q, int s, std::uint64_t& result) {
  if (s < 0 || s > MaxFastScale) {
    return Scaled::OutOfRange;
  }
  const u128 product = static_cast<u128>(m) * Pow10Table[static_cast<std::size_t>(s)];
  u128 quotient = 0;
  bool roundUp = false;
  if (q >= 0) {
    // m x 2^q is an integer below 10^18 here (at most 2^60), so nothing overflows.
    quotient = product << q;
  } else {
    const int shift = -q;
    quotient = product >> shift;
    const u128 remainder = product - (quotient << shift);
    const u128 half = static_cast<u128>(1) << (shift - 1);
    roundUp = remainder > half || (remainder == half && (quotient & 1) != 0);
  }
  if (quotient >= ExpansionLimit) {
    return Scaled::TooLarge;
  }
  if (quotient < LowestExpansion) {
    return Scaled::TooSmall;
  }
  result = static_cast<std::uint64_t>(quotient) + (roundUp ? 1 : 0);
  return Scaled::Fits;
}

}  // namespace

DecimalExpansion ExpandDecimalByToChars(double v) {
  // "d.ddddddddddddddddde+XXX"
  char text[32];
  const std::to_chars_result r = std::to_chars(text, text + sizeof text, v,
                                               std::chars_format::scientific,
                                               DecimalExpansionDigits - 1);
  if (r.ec != std::errc{}) {
    throw std::logic_error("decimal expansion does not fit its buffer");
  }
  DecimalExpansion x;
  x.digits = static_cast<std::uint64_t>(text[0] - '0');
  for (int i = 2; i <= DecimalExpansionDigits; ++i) {
    x.digits = x.digits * 10 + static_cast<std::uint64_t>(text[i] - '0');
  }
  const char* p = text + DecimalExpansionDigits + 2;  // after the 'e'
  const bool negativePower = *p == '-';
  int power = 0;
  for (++p; p < r.ptr; ++p) {
    power = power * 10 + (*p - '0');
  }
  x.exponent = negativePower ? -power : power;
  return x;
}

DecimalExpansion ExpandDecimal(double v) {
  const auto bits = std::bit_cast<std::uint64_t>(v);
  const int biasedExponent = static_cast<int>((bits >> 52) & 0x7FF);
  // Subnormals, and values of 10^18 and more, take the general path (results never hold
  // them in practice).
  if (biasedExponent == 0 || v >= 1e18) {
    return ExpandDecimalByToChars(v);
  }
  // v = m x 2^q with a 53-bit m; v lies in [2^k, 2^(k+1)).
  const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const int q = biasedExponent - 1075;
  const int k = q + 52;
  // The power of ten of the first digit is this estimate or one more.
  int e = FloorLog10Pow2(k);
  for (int attempt = 0; attempt < 3; ++attempt) {
    std::uint64_t digits = 0;
    switch (ScaleExactly(m, q, DecimalExpansionDigits - 1 - e, digits)) {
      case Scaled::Fits:
        if (digits == ExpansionLimit) {
          // 99..9|5 and up rounded to 10^18: one digit more in front.
          return {LowestExpansion, e + 1};
        }
        return {digits, e};
      case Scaled::TooLarge:
        ++e;
        break;
      case Scaled::TooSmall:
        --e;
        break;
      case Scaled::OutOfRange:
        return ExpandDecimalByToChars(v);
    }
  }
  return ExpandDecimalByToChars(v);
}

}  // namespace tovimar
