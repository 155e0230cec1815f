#include "study/quantity_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

namespace tovimar {
namespace {

TEST(ReadableUnitOf, FieldsLineSettingsAndOutputs) {
  const struct {
    const char* name;
    const char* unit;
  } cases[] = {
      {"LineSpeed", "m/s"},
      {"Edit6", "m/s"},
      {"ZoneAirTemp[2]", "\u00b0C"},        // "deg C" in the field catalogue
      {"MaxWebTemp", "\u00b0C"},            // "C" in the output catalogue
      {"Keff", ""},                         // "-"
      {"Edit3", ""},                        // a weight fraction
      {"ZoneExhaustFlow[3]", "m3/h"},       // without its normal conditions
      {"LELLimit", "% of LEL"},
      {"LineEndResidualSolvent", "g/m2"},
      {"ZoneExhaustLEL", "%"},
      {"NoSuchName", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadableUnitOf(c.name), c.unit) << c.name;
}

TEST(ReadableQuantity, FourDigitsAndTheUnit) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    std::optional<double> value;
    const char* unit;
    const char* text;
  } cases[] = {
      {4.216473621923, "m/s", "4.216 m/s"},
      {24.99999977, "%", "25 %"},
      {0.0123456, "", "0.01235"},
      {-3.14159, "K", "-3.142 K"},
      {1e-60, "%", "1e-60 %"},
      {0.0, "g/m2", "0 g/m2"},
      {std::nullopt, "%", "none"},
      {inf, "%", "unbounded"},
      {-inf, "%", "-unbounded"},
      {std::nan(""), "K", "not a number"},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadableQuantity(c.value, c.unit), c.text) << c.text;
}

}  // namespace
}  // namespace tovimar
