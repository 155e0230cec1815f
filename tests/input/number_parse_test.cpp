#include "input/number_parse.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace tovimar {
namespace {

struct NumberCase {
  std::string text;
  bool isNumber;
  double value;  // when isNumber
};

std::vector<NumberCase> NumberCases() {
  return {
      {"0.0695", true, 0.0695},
      {"30000.0", true, 30000.0},
      {"0.00000903", true, 0.00000903},
      {"60", true, 60.0},
      {"+60", true, 60.0},
      {"-5.25", true, -5.25},
      {"  1.5", true, 1.5},
      {"1.5   ", true, 1.5},
      {"   -1.5   ", true, -1.5},
      {".5", true, 0.5},
      {"5.", true, 5.0},
      {"-.5", true, -0.5},
      {"1e3", true, 1000.0},
      {"1E3", true, 1000.0},
      {"1.5e-3", true, 0.0015},
      {"1.5E+3", true, 1500.0},
      {"2.e2", true, 200.0},
      {".5e1", true, 5.0},
      {"0e5", true, 0.0},
      {"000123", true, 123.0},
      {"1e308", true, 1e308},
      {"1.7976931348623157e308", true, std::numeric_limits<double>::max()},
      {"4.9e-324", true, std::numeric_limits<double>::denorm_min()},
      {"1e-400", true, 0.0},
      {"0.0000e99999999999999999999", true, 0.0},
      {"", false, 0},
      {" ", false, 0},
      {"     ", false, 0},
      {".", false, 0},
      {"-", false, 0},
      {"+", false, 0},
      {"e5", false, 0},
      {".e5", false, 0},
      {"1e", false, 0},
      {"1e+", false, 0},
      {"1e-", false, 0},
      {"1.2.3", false, 0},
      {"1..2", false, 0},
      {"0,5", false, 0},
      {"1,000", false, 0},
      {"1,000.5", false, 0},
      {"1 000", false, 0},
      {"- 5", false, 0},
      {"+-5", false, 0},
      {"--5", false, 0},
      {"\t5", false, 0},
      {"5\t", false, 0},
      {"5\n", false, 0},
      {"5x", false, 0},
      {"abc", false, 0},
      {"0x10", false, 0},
      {"inf", false, 0},
      {"-inf", false, 0},
      {"nan", false, 0},
      {"infinity", false, 0},
      {"1e400", false, 0},
      {"-1e400", false, 0},
      {"1.8e308", false, 0},
      // The largest double and the halfway point above it, which rounds to infinity.
      {"1.79769313486231580e308", true, std::numeric_limits<double>::max()},
      {"1.79769313486231581e308", false, 0},
      {"1e5000", false, 0},
      {"1e99999999999999999999", false, 0},
      {"1e3.5", false, 0},
      {"1d3", false, 0},
      {std::string("5\0", 2), false, 0},
      {"\xEF\xBC\x95", false, 0},  // a full-width digit
  };
}

void ExpectParses(const NumberCase& c) {
  SCOPED_TRACE("text \"" + c.text + "\"");
  const std::optional<double> value = ParseNumber(c.text);
  ASSERT_EQ(value.has_value(), c.isNumber);
  if (c.isNumber) {
    EXPECT_EQ(*value, c.value);
  }
}

TEST(ParseNumber, AcceptsExactlyTheNumberShape) {
  for (const NumberCase& c : NumberCases()) {
    ExpectParses(c);
  }
}

TEST(ParseNumber, IgnoresTheProcessLocale) {
  const char* previous = std::setlocale(LC_ALL, nullptr);
  const std::string saved = previous != nullptr ? previous : "C";
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
    GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
  }
  // A German locale uses the comma as its decimal separator; ours stays the point.
  for (const NumberCase& c : NumberCases()) {
    ExpectParses(c);
  }
  std::setlocale(LC_ALL, saved.c_str());
}

TEST(ParseNumber, KeepsTheSignOfZero) {
  EXPECT_TRUE(std::signbit(*ParseNumber("-0")));
  EXPECT_TRUE(std::signbit(*ParseNumber("-0.0")));
  EXPECT_TRUE(std::signbit(*ParseNumber("-1e-400")));
  EXPECT_FALSE(std::signbit(*ParseNumber("0")));
  EXPECT_FALSE(std::signbit(*ParseNumber("1e-400")));
}

TEST(ParseNumberLongDouble, KeepsTheWiderSignificand) {
  // 0.1 as a long double is closer to one tenth than 0.1 as a double.
  const long double tenth = *ParseNumberLongDouble("0.1");
  EXPECT_EQ(tenth, 0.1L);
  EXPECT_NE(tenth, static_cast<long double>(0.1));
  // Within the range of a long double but not of a double.
  EXPECT_EQ(*ParseNumberLongDouble("1e400"), 1e400L);
  EXPECT_FALSE(ParseNumberLongDouble("1e5000").has_value());
  EXPECT_EQ(*ParseNumberLongDouble("1e-5000"), 0.0L);
  EXPECT_FALSE(ParseNumberLongDouble("1,5").has_value());
}

TEST(ParseNumber, RoundsTheWideValueToTheNearestDouble) {
  // Every default text of the window reads as the double nearest to its decimal value.
  const std::vector<std::pair<std::string, double>> cases{
      {"0.0695", 0.0695}, {"0.022", 0.022}, {"6.38469", 6.38469}, {"219.482", 219.482},
      {"0.00000849", 0.00000849}, {"0.1", 0.1}, {"2.45", 2.45}, {"0.75", 0.75}};
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(*ParseNumber(text), expected) << text;
  }
}

}  // namespace
}  // namespace tovimar
