#include "format/fixed_format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace tovimar {
namespace {

struct FormatCase {
  double v;
  int P;
  int D;
  const char* expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
  *os << "FixedFormat(" << std::hexfloat << c.v << std::defaultfloat << " = " << c.v << ", "
      << c.P << ", " << c.D << ") -> \"" << c.expected << "\"";
}

class FixedFormatTable : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FixedFormatTable, GivesTheExpectedText) {
  const FormatCase& c = GetParam();
  EXPECT_EQ(FixedFormat(c.v, c.P, c.D), c.expected);
}

// The worked examples of the number format and the values of the result table's columns.
INSTANTIATE_TEST_SUITE_P(
    Examples, FixedFormatTable,
    ::testing::Values(
        FormatCase{123456.789, 8, 3, "123456.790"},  // P digits, still D decimals
        FormatCase{12345.6789, 8, 3, "12345.679"},
        FormatCase{123456789, 8, 3, "1.2345679E008"},
        FormatCase{12.3456, 4, 3, "12.350"},
        FormatCase{0.0004, 4, 3, "0.000"},
        FormatCase{-0.0004, 4, 3, "0.000"},  // rounds to zero: no sign
        FormatCase{-0.0004, 6, 3, "0.000"},
        FormatCase{12345.678, 4, 3, "1.235E004"},
        FormatCase{123456789, 8, 1, "1.2345679E8"},
        FormatCase{-5, 6, 2, "-5.00"},
        FormatCase{1.0, 6, 4, "1.0000"},
        FormatCase{0.0417, 7, 5, "0.04170"},
        FormatCase{0.0695 * 0.22, 7, 5, "0.01529"},
        FormatCase{15.0, 6, 2, "15.00"},
        FormatCase{300 * 0.1 * 1.0, 7, 3, "30.000"},
        FormatCase{0.0, 7, 5, "0.00000"},
        FormatCase{0.00000903, 11, 9, "0.000009030"},
        FormatCase{30000.0, 8, 1, "30000.0"},
        FormatCase{1344.8, 8, 3, "1344.800"},
        FormatCase{-123.456, 8, 3, "-123.456"},
        FormatCase{-0.0625, 6, 4, "-0.0625"}));

// The second rounding is half away from zero, on the 18-digit expansion. These values are
// exact halves in binary, so their expansion is exactly ...5000.
INSTANTIATE_TEST_SUITE_P(
    HalfWay, FixedFormatTable,
    ::testing::Values(FormatCase{0.0625, 6, 3, "0.063"},  // half-even would give 0.062
                      FormatCase{-0.0625, 6, 3, "-0.063"},
                      FormatCase{0.125, 6, 2, "0.13"},
                      FormatCase{2.5, 2, 0, "3."},  // half-even would give 2
                      FormatCase{-2.5, 2, 0, "-3."},
                      FormatCase{0.5, 5, 0, "1."},  // the first digit is the half
                      FormatCase{-0.5, 5, 0, "-1."},
                      FormatCase{0.0005, 4, 3, "0.001"},
                      FormatCase{-0.0005, 4, 3, "-0.001"},
                      FormatCase{0.375, 2, 2, "0.38"},
                      FormatCase{0.375, 2, 3, "0.380"},  // P-limited, padded to D
                      FormatCase{1234.5, 4, 3, "1235.000"},
                      FormatCase{0.4375, 3, 3, "0.438"},
                      FormatCase{0.4375, 2, 3, "0.440"}));

// Just below a half: the binary value of these decimals lies below the half, and its
// 18-digit expansion does too, so they round down.
INSTANTIATE_TEST_SUITE_P(
    BelowHalf, FixedFormatTable,
    ::testing::Values(FormatCase{9.9995, 4, 3, "9.999"},  // 9.99949999999999939
                      FormatCase{1.005, 4, 2, "1.00"},   // 1.00499999999999989
                      FormatCase{0.145, 3, 2, "0.14"},   // 0.144999999999999990
                      FormatCase{2.675, 4, 2, "2.67"},
                      FormatCase{0.0004999, 6, 3, "0.000"},
                      FormatCase{0.4, 5, 0, "0."}));

// The first expansion decides: 1.00105 is 1.00104999999999999538... in binary, but its
// 18-digit expansion is 1.00105000000000000, which is a half at four decimals.
INSTANTIATE_TEST_SUITE_P(
    EighteenDigitExpansion, FixedFormatTable,
    ::testing::Values(FormatCase{1.00105, 8, 4, "1.0011"},
                      FormatCase{1.00305, 8, 4, "1.0031"},
                      FormatCase{-1.00105, 8, 4, "-1.0011"},
                      // All 18 digits of a value with more: 123456.789 is
                      // 123456.789000000004307... in binary.
                      FormatCase{123456.789, 18, 12, "123456.789000000004"},
                      FormatCase{0.1, 18, 18, "0.100000000000000006"},
                      // 1 + 2^-18 = 1.000003814697265625 has 19 digits; the expansion
                      // rounds the tie to even.
                      FormatCase{1.000003814697265625, 18, 17, "1.00000381469726562"},
                      // The double just below 1 is 0.99999999999999988898...
                      FormatCase{0.99999999999999988898, 18, 18, "0.999999999999999889"},
                      FormatCase{0.99999999999999988898, 17, 18, "0.999999999999999890"},
                      FormatCase{0.99999999999999988898, 15, 3, "1.000"}));

// Carries across a power of ten, into the exponent form where the integer part outgrows P.
INSTANTIATE_TEST_SUITE_P(
    PowerOfTenCarry, FixedFormatTable,
    ::testing::Values(FormatCase{9.99951171875, 4, 3, "10.000"},  // 10 - 2^-11, exact
                      FormatCase{9.99951171875, 4, 4, "10.0000"},
                      FormatCase{9.99951171875, 8, 4, "9.9995"},
                      FormatCase{9.99999, 4, 3, "10.000"},
                      FormatCase{9.99999, 6, 5, "9.99999"},
                      FormatCase{0.96875, 2, 1, "1.0"},
                      FormatCase{9.5, 5, 0, "10."},
                      FormatCase{-9.5, 5, 0, "-10."},
                      FormatCase{99.5, 2, 1, "1E2"},
                      FormatCase{999.5, 3, 3, "1E003"},
                      FormatCase{99999999.5, 8, 3, "1E008"},
                      FormatCase{99999999.0, 8, 3, "99999999.000"},
                      FormatCase{999999999.0, 8, 3, "1E009"},
                      FormatCase{100000000.0, 8, 3, "1E008"},
                      FormatCase{123456789.0, 9, 3, "123456789.000"},
                      FormatCase{120000000.0, 8, 3, "1.2E008"},
                      FormatCase{0.0099999, 6, 3, "0.010"},
                      FormatCase{0.00099999, 6, 3, "0.001"},
                      FormatCase{0.0009999, 6, 2, "0.00"},
                      FormatCase{-0.0099999, 6, 3, "-0.010"}));

// The power of ten: padded to D digits up to D 4, as long as it needs beyond.
INSTANTIATE_TEST_SUITE_P(
    ExponentPadding, FixedFormatTable,
    ::testing::Values(FormatCase{123456789, 8, 0, "1.2345679E8"},
                      FormatCase{123456789, 8, 2, "1.2345679E08"},
                      FormatCase{123456789, 8, 4, "1.2345679E0008"},
                      FormatCase{123456789, 8, 5, "1.2345679E8"},
                      FormatCase{123456789, 8, 18, "1.2345679E8"},
                      FormatCase{123, 2, 0, "1.2E2"},
                      FormatCase{-123456789, 8, 3, "-1.2345679E008"},
                      FormatCase{1e17, 2, 3, "1E017"},
                      FormatCase{-1e18, 18, 1, "-1E18"}));

// Zero, signed zero, the extremes of the double range, and texts at the longest.
INSTANTIATE_TEST_SUITE_P(
    Extremes, FixedFormatTable,
    ::testing::Values(
        FormatCase{0.0, 8, 3, "0.000"},
        FormatCase{-0.0, 8, 3, "0.000"},
        FormatCase{0.0, 6, 0, "0."},
        FormatCase{std::numeric_limits<double>::denorm_min(), 18, 18, "0.000000000000000000"},
        FormatCase{-std::numeric_limits<double>::denorm_min(), 6, 3, "0.000"},
        FormatCase{DBL_MIN, 18, 18, "0.000000000000000000"},
        FormatCase{DBL_MAX, 8, 3, "1.7976931E308"},
        FormatCase{-DBL_MAX, 8, 3, "-1.7976931E308"},
        FormatCase{DBL_MAX, 18, 18, "1.79769313486231571E308"},
        FormatCase{DBL_MAX, 2, 0, "1.8E308"},
        FormatCase{1e17, 18, 18, "100000000000000000.000000000000000000"},
        FormatCase{-1e17, 18, 18, "-100000000000000000.000000000000000000"},
        FormatCase{123456789012345678.0, 18, 0, "123456789012345680."},
        FormatCase{0.5e-18, 18, 18, "0.000000000000000001"},
        FormatCase{0.4e-18, 18, 18, "0.000000000000000000"}));

// A value that is not finite has no text: every entry point throws, and nothing is written
// into the buffer or appended to the string.
TEST(FixedFormat, NonFiniteValueThrowsInsteadOfWritingText) {
  const double values[] = {std::numeric_limits<double>::quiet_NaN(),
                           -std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::signaling_NaN(),
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity()};
  for (const double v : values) {
    SCOPED_TRACE(v);
    EXPECT_THROW((void)FixedFormat(v, 8, 3), NonFiniteValueError);
    std::string out = "kept";
    EXPECT_THROW(AppendFixedFormat(out, v, 18, 18), NonFiniteValueError);
    EXPECT_EQ(out, "kept");
    char buffer[FixedFormatBufferSize] = {'x'};
    EXPECT_THROW((void)FixedFormatInto(buffer, v, 2, 0), NonFiniteValueError);
    EXPECT_EQ(buffer[0], 'x');
  }
  try {
    (void)FixedFormat(std::numeric_limits<double>::quiet_NaN(), 8, 3);
  } catch (const ArithmeticError& e) {
    EXPECT_STREQ(e.what(), "Arithmetic error: a value to be written is not a number.");
  }
  try {
    (void)FixedFormat(-std::numeric_limits<double>::infinity(), 8, 3);
  } catch (const ArithmeticError& e) {
    EXPECT_STREQ(e.what(), "Arithmetic error: a value to be written is infinite.");
  }
}

// Around every power of ten from 10^0 to 10^14: 10^k itself, and 10^(k+1) - 0.5, which
// carries to 10^(k+1) when rounded to k + 1 digits.
TEST(FixedFormat, AroundEveryPowerOfTen) {
  std::string ones = "1";
  double power = 1;
  for (int k = 0; k <= 14; ++k) {
    SCOPED_TRACE("k = " + std::to_string(k));
    // 10^k: k + 1 integer digits, fixed form up to P = k + 1, exponent form below.
    EXPECT_EQ(FixedFormat(power, 18, 2), ones + ".00");
    if (k >= 2) {
      EXPECT_EQ(FixedFormat(power, k, 3), "1E" + std::string(k < 10 ? 2 : 1, '0') +
                                              std::to_string(k));
      EXPECT_EQ(FixedFormat(power, k + 1, 3), ones + ".000");
    }
    const double belowNext = power * 10 - 0.5;
    const std::string nextOnes = ones + "0";
    // Rounded to k + 1 digits it becomes 10^(k+1), which has k + 2 integer digits.
    EXPECT_EQ(FixedFormat(belowNext, k + 2, 0), nextOnes + ".");
    if (k + 1 >= 2) {
      EXPECT_EQ(FixedFormat(belowNext, k + 1, 0), "1E" + std::to_string(k + 1));
    }
    // With a decimal kept it stays below.
    EXPECT_EQ(FixedFormat(belowNext, 18, 1), std::string(static_cast<std::size_t>(k + 1), '9') + ".5");
    ones += "0";
    power *= 10;
  }
}

// The same around negative powers of ten: 10^-k to k decimals is "0.0..01"; just below
// half of it rounds away.
TEST(FixedFormat, AroundNegativePowersOfTen) {
  double power = 1;
  for (int k = 1; k <= 17; ++k) {
    power /= 10;
    SCOPED_TRACE("k = " + std::to_string(k));
    const std::string zeros(static_cast<std::size_t>(k - 1), '0');
    EXPECT_EQ(FixedFormat(power, 18, k), "0." + zeros + "1");
    EXPECT_EQ(FixedFormat(-power, 18, k), "-0." + zeros + "1");
    EXPECT_EQ(FixedFormat(power * 0.4, 18, k), "0." + zeros + "0");
    EXPECT_EQ(FixedFormat(-power * 0.4, 18, k), "0." + zeros + "0");
  }
}

TEST(FixedFormat, RejectsFormatsOutsideTheirRange) {
  EXPECT_THROW(FixedFormat(1.0, 1, 3), std::invalid_argument);
  EXPECT_THROW(FixedFormat(1.0, 19, 3), std::invalid_argument);
  EXPECT_THROW(FixedFormat(1.0, 8, -1), std::invalid_argument);
  EXPECT_THROW(FixedFormat(1.0, 8, 19), std::invalid_argument);
  EXPECT_EQ(FixedFormat(1.0, 2, 0), "1.");
  EXPECT_EQ(FixedFormat(1.0, 18, 18), "1.000000000000000000");
}

TEST(FixedFormat, AppendAndBufferFormsGiveTheSameText) {
  const std::vector<FormatCase> cases{{123456.789, 8, 3, "123456.790"},
                                      {-5, 6, 2, "-5.00"},
                                      {123456789, 8, 3, "1.2345679E008"}};
  for (const FormatCase& c : cases) {
    std::string out = "x=";
    AppendFixedFormat(out, c.v, c.P, c.D);
    EXPECT_EQ(out, std::string("x=") + c.expected);
    char buffer[FixedFormatBufferSize];
    const std::size_t n = FixedFormatInto(buffer, c.v, c.P, c.D);
    EXPECT_EQ(std::string(buffer, n), c.expected);
  }
}

TEST(FixedFormat, AppendDoesNotReallocateWhenThereIsRoom) {
  std::string out;
  out.reserve(200);
  const char* const data = out.data();
  for (int i = 0; i < 4; ++i) {
    AppendFixedFormat(out, -1e17, 18, 18);  // the longest fixed text, 38 characters
  }
  EXPECT_EQ(out.size(), 4U * 38U);
  EXPECT_EQ(out.data(), data);
}

// A comma-decimal locale changes nothing: the separator is always a point.
TEST(FixedFormat, IgnoresTheProcessLocale) {
  const std::string before = std::setlocale(LC_ALL, nullptr);
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
    GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
  }
  EXPECT_EQ(FixedFormat(123456.789, 8, 3), "123456.790");
  EXPECT_EQ(FixedFormat(123456789, 8, 3), "1.2345679E008");
  EXPECT_EQ(FixedFormat(-0.0625, 6, 3), "-0.063");
  std::setlocale(LC_ALL, before.c_str());
}

}  // namespace
}  // namespace tovimar
