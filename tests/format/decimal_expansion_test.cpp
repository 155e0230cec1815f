#include "format/decimal_expansion.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace tovimar {
namespace {

// The exact integer path must give what std::to_chars gives, digit for digit.
void ExpectSameAsToChars(double v) {
  const DecimalExpansion fast = ExpandDecimal(v);
  const DecimalExpansion reference = ExpandDecimalByToChars(v);
  ASSERT_EQ(fast.digits, reference.digits) << std::hexfloat << v;
  ASSERT_EQ(fast.exponent, reference.exponent) << std::hexfloat << v;
}

TEST(DecimalExpansion, ReferenceGivesEighteenDigits) {
  const DecimalExpansion x = ExpandDecimalByToChars(123456.789);
  EXPECT_EQ(x.digits, 123456789000000004ULL);  // 123456.789000000004307...
  EXPECT_EQ(x.exponent, 5);
  const DecimalExpansion small = ExpandDecimalByToChars(0.00000903);
  EXPECT_EQ(small.digits, 902999999999999994ULL);
  EXPECT_EQ(small.exponent, -6);
  const DecimalExpansion large = ExpandDecimalByToChars(DBL_MAX);
  EXPECT_EQ(large.digits, 179769313486231571ULL);
  EXPECT_EQ(large.exponent, 308);
}

TEST(DecimalExpansion, ExactTiesGoToEven) {
  // 1 + 2^-18 = 1.000003814697265625: the 19th digit is an exact half.
  const DecimalExpansion x = ExpandDecimal(1.000003814697265625);
  EXPECT_EQ(x.digits, 100000381469726562ULL);
  EXPECT_EQ(x.exponent, 0);
  // 1 + 3 x 2^-18 = 1.000011444091796875 rounds up to the even 8.
  const DecimalExpansion y = ExpandDecimal(1.000011444091796875);
  EXPECT_EQ(y.digits, 100001144409179688ULL);
}

TEST(DecimalExpansion, MatchesToCharsAtPowersOfTwoAndTenAndTheirNeighbours) {
  std::vector<double> values;
  for (int k = -80; k <= 80; ++k) {
    values.push_back(std::ldexp(1.0, k));
  }
  for (int k = -30; k <= 30; ++k) {
    values.push_back(std::pow(10.0, k));
  }
  for (const double v : std::vector<double>(values)) {
    values.push_back(std::nextafter(v, 0.0));
    values.push_back(std::nextafter(v, 1e300));
  }
  // Halves and near-carries of the usual ranges.
  for (double v : {0.5, 2.5, 9.5, 99.5, 99999999.5, 999999999999999.5, 9.99951171875, 0.0625,
                   1e18, 999999999999999872.0, 1e18 - 128, DBL_MIN, DBL_MAX, 4.9e-324}) {
    values.push_back(v);
  }
  for (const double v : values) {
    ExpectSameAsToChars(v);
  }
}

TEST(DecimalExpansion, MatchesToCharsForRandomValues) {
  std::mt19937_64 random(20240611);
  // Any positive finite double.
  for (int i = 0; i < 100000; ++i) {
    const std::uint64_t bits = random() & 0x7FFFFFFFFFFFFFFFULL;
    const double v = std::bit_cast<double>(bits);
    if (!std::isfinite(v) || v == 0) {
      continue;
    }
    ExpectSameAsToChars(v);
  }
  // The magnitudes of result files: 10^-6 to 10^9, evenly in the logarithm.
  std::uniform_real_distribution<double> logarithm(-6.0, 9.0);
  for (int i = 0; i < 100000; ++i) {
    ExpectSameAsToChars(std::pow(10.0, logarithm(random)));
  }
  // Short decimals as a user types them: n / 10^d.
  std::uniform_int_distribution<std::int64_t> mantissa(1, 99999999);
  std::uniform_int_distribution<int> decimals(0, 9);
  for (int i = 0; i < 100000; ++i) {
    ExpectSameAsToChars(static_cast<double>(mantissa(random)) /
                        std::pow(10.0, decimals(random)));
  }
}

}  // namespace
}  // namespace tovimar
