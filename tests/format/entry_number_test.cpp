#include "format/entry_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "format/fixed_format.h"

namespace tovimar {
namespace {

struct EntryNumberCase {
  double value;
  const char* text;
};

TEST(EntryNumberText, ShortestDecimalWithinAPartInABillion) {
  const EntryNumberCase cases[] = {
      {0.0, "0"},
      {-0.0, "0"},
      {119.99999999999999, "120"},
      {0.10000000000000001, "0.1"},
      {0.1 + 0.2, "0.3"},
      {-119.99999999999999, "-120"},
      {-0.0035, "-0.0035"},
      {9.9999999999, "10"},            // rounds up into the next decade
      {9.99999998, "9.99999998"},      // 2e-9 away from 10: kept
      {1.23456789, "1.23456789"},      // nine significant digits
      {1.0000000024, "1.000000002"},   // ten: nine would be 2.4e-9 away
      {4.216473621923, "4.21647362"},
      {2.5e-7, "2.5e-07"},
      {1e-300, "1e-300"},
      {1.00000000001e-300, "1e-300"},
      {1e300, "1e+300"},
      {-1e300, "-1e+300"},
      {5e-324, "5e-324"},              // the least subnormal double
      {std::numeric_limits<double>::max(), "1.79769313486e+308"},  // shorter roundings overflow
      {17643.000000012, "17643"},
      {0.30000000049, "0.3000000005"},  // 0.3 would be 1.6e-9 away
  };
  for (const EntryNumberCase& c : cases) {
    EXPECT_EQ(EntryNumberText(c.value), c.text) << c.value;
  }
}

// The text reads back within the tolerance, for values that need every digit count.
TEST(EntryNumberText, ReadsBackWithinTheTolerance) {
  for (double v = 1e-12; v < 1e12; v *= 1.37337) {
    const std::string text = EntryNumberText(v);
    EXPECT_LE(std::fabs(std::stod(text) - v), EntryNumberTolerance * v) << text;
  }
}

TEST(EntryNumberText, RefusesNonFiniteValues) {
  EXPECT_THROW(EntryNumberText(std::numeric_limits<double>::infinity()), NonFiniteValueError);
  EXPECT_THROW(EntryNumberText(std::nan("")), NonFiniteValueError);
}

}  // namespace
}  // namespace tovimar
