// Typed values read in place of entry texts give exactly what the texts would give: the
// record, the zone chain, the step counts, every stop and the plausibility warnings.
#include "input/condition_overrides.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "format/csv.h"
#include "input/field_catalogue.h"
#include "input/number_parse.h"
#include "input/plausibility.h"
#include "input/read_conditions.h"

namespace tovimar {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

// The text an entry holding `value` has: its shortest exact form, "nan" or "inf" for the
// values that are no number.
std::string TextOf(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  return ShortestNumberText(value);
}

struct Read {
  DryingConditions c;
  std::optional<ReadStop> stop;
  std::vector<std::string> warnings;
};

void ExpectSame(const Read& texts, const Read& values) {
  ASSERT_EQ(texts.stop.has_value(), values.stop.has_value());
  if (texts.stop) {
    EXPECT_EQ(texts.stop->kind, values.stop->kind);
    EXPECT_EQ(texts.stop->message, values.stop->message);
    EXPECT_EQ(texts.stop->entryName, values.stop->entryName);
  }
  for (const ConditionField& f : ConditionFields()) {
    const double a = f.Value(texts.c), b = f.Value(values.c);
    EXPECT_TRUE(a == b && std::signbit(a) == std::signbit(b)) << f.fieldName << ": " << a << " / " << b;
  }
  EXPECT_EQ(texts.c.ZoneCount, values.c.ZoneCount);
  EXPECT_EQ(texts.c.ZoneStepCount, values.c.ZoneStepCount);
  EXPECT_EQ(texts.c.ResultFileName, values.c.ResultFileName);
  EXPECT_EQ(texts.warnings, values.warnings);
}

TEST(ConditionOverrides, ValuesReadAsTheirTextsWouldBe) {
  using Values = std::vector<std::pair<const char*, double>>;
  using Texts = std::vector<std::pair<const char*, const char*>>;
  const Values zone3{{"ZoneAirTemp[3]", 70},      {"ZoneLength[3]", 12.5},
                     {"ZoneHumidity1[3]", 0},     {"ZoneHumidity2[3]", 0.001},
                     {"ZoneHeatCoefUpper[3]", 0.03}, {"ZoneHeatCoefLower[3]", 0.01}};
  const struct {
    const char* name;
    Texts base;     // texts of the entries both ways start from
    Values values;  // set as texts one way, as values the other
    int zones;      // the zone count read
  } cases[] = {
      {"general fields", {}, {{"LineSpeed", 0.75}, {"Keff", 1.0 / 3}, {"InitialTemp", -12.5}}, 2},
      {"zone 1", {}, {{"ZoneAirTemp[1]", 0}, {"ZoneLength[1]", 15}}, 2},
      {"a value extends the chain", {}, zone3, 3},
      {"a zone's other columns still read their texts", {}, {{"ZoneAirTemp[3]", 70}}, 1},
      {"0 ends the chain", {}, {{"ZoneAirTemp[2]", 0}}, 1},
      {"-0 ends the chain", {}, {{"ZoneAirTemp[2]", -0.0}}, 1},
      {"a tiny value does not", {}, {{"ZoneAirTemp[2]", 5e-324}}, 2},
      {"a zone after a zero does not run", {}, {{"ZoneAirTemp[2]", 0}, {"ZoneAirTemp[3]", 70}}, 1},
      {"a zone after the end is only filled in", {}, {{"ZoneAirTemp[4]", 70}}, 2},
      {"a value stands in for a text that is no number", {{"Edit6", "fast"}, {"Edit21", "hot"}},
       {{"LineSpeed", 0.5}, {"ZoneAirTemp[2]", 80}}, 2},
      {"a value in place of an empty Outer Temperature", {{"Edit21", ""}}, {{"ZoneAirTemp[2]", 40}}, 2},
      {"no number in a general field", {}, {{"LineSpeed", NaN}}, 0},
      {"no number in a zone column", {}, {{"ZoneHumidity1[2]", Inf}}, 1},
      {"no number as an Outer Temperature", {}, {{"ZoneAirTemp[2]", -Inf}}, 1},
      {"a step count beyond the row", {}, {{"ZoneLength[2]", 300}}, 2},
      {"a zero Increment of z", {}, {{"StepLength", 0}}, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MapEntryTexts base;
    for (const auto& [entry, text] : c.base) base.ForceText(entry, text);
    MapEntryTexts texts = base;
    ConditionOverrides overrides;
    for (const auto& [name, value] : c.values) {
      const ConditionField* field = FindField(name);
      ASSERT_NE(field, nullptr) << name;
      if (std::isfinite(value)) {
        ASSERT_EQ(ParseNumber(TextOf(value)), value);  // an exact text
      }
      texts.ForceText(field->entryName, TextOf(value));
      overrides.Set(*field, value);
    }
    Read byText, byValue;
    byText.stop = ReadConditions(byText.c, texts);
    byValue.stop = ReadConditions(byValue.c, base, overrides);
    if (!byText.stop) {
      byText.warnings = PlausibilityWarnings(byText.c, texts);
      byValue.warnings = PlausibilityWarnings(byValue.c, base, overrides);
    }
    ExpectSame(byText, byValue);
    EXPECT_EQ(byValue.c.ZoneCount, c.zones);
  }
}

TEST(ConditionOverrides, ALaterValueReplacesAnEarlierOne) {
  const ConditionField& speed = *FindField("LineSpeed");
  ConditionOverrides overrides;
  EXPECT_TRUE(overrides.empty());
  EXPECT_FALSE(overrides.Find(speed));
  overrides.Set(speed, 2);
  overrides.Set(speed, 3);
  EXPECT_EQ(overrides.Find(speed), 3);
  EXPECT_FALSE(overrides.Find(*FindField("Keff")));
}

}  // namespace
}  // namespace tovimar
