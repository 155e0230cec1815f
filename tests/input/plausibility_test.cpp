#include "input/plausibility.h"

#include <gtest/gtest.h>

#include "input/read_conditions.h"

namespace tovimar {
namespace {

TEST(PlausibilityWarnings, EachKindOfImplausibleEntry) {
  const struct {
    const char* name;
    std::vector<std::pair<std::string, std::string>> texts;
    std::vector<std::string> warnings;
  } cases[] = {
      {"defaults", {}, {}},
      {"ratios", {{"Edit4", "0.7"}},
       {"The weight ratios of solid, solvent-1 and solvent-2 add up to 1.1, not 1."}},
      {"ratios within 0.001", {{"Edit4", "0.6009"}}, {}},
      {"below absolute zero", {{"Edit7", "-300"}},
       {"Initial Temperature (\u2103) is -300, below absolute zero."}},
      {"negative weight", {{"Edit2", "-1"}}, {"Base Film Weight (kg/m2) is negative (-1)."}},
      {"negative Keff", {{"Edit205", "-0.1"}}, {"Dryer Efficiency Parameter Keff is negative (-0.1)."}},
      {"negative specific heat and heat of vaporization", {{"Edit222", "-400"}, {"Edit211", "-1"}},
       {"Specific Heat of Polymer (kJ/kg.K) is negative (-1).",
        "Heat of Vaporization of Solvent-1 (kJ/kg) is negative (-400)."}},
      {"negative solid ratio", {{"Edit3", "-0.3"}},
       {"The weight ratios of solid, solvent-1 and solvent-2 add up to 0.52, not 1.",
        "Initial Solid Weight Ratio is negative (-0.3)."}},
      {"negative absolute humidity", {{"Edit11", "-1e-3"}},
       {"Solvent-2 Absolute Humidity of zone 1 is negative (-0.001)."}},
      {"zones of 1.49 m at 1 m", {{"Edit20", "1"}, {"Edit9", "1.49"}, {"Edit22", "1.49"}},
       {"Zone Length (m) of zone 1 is 1.49, not a whole number of Increments of z (1 m): the zone "
        "marches 1 m in 1 step.",
        "Zone Length (m) of zone 2 is 1.49, not a whole number of Increments of z (1 m): the zone "
        "marches 1 m in 1 step."}},
      {"a zone shorter than half an increment", {{"Edit9", "0.04"}},
       {"Zone Length (m) of zone 1 is 0.04, not a whole number of Increments of z (0.1 m): the zone "
        "marches 0 m in 0 steps."}},
      {"a whole number but for rounding", {{"Edit9", "30.0000000001"}, {"Edit22", "0.3"}}, {}},
      {"zones after the chain", {{"Edit31", ""}, {"Edit41", "80"}, {"Edit51", "80"}},
       {"Zones 4 to 5 are filled in but will not run: zone 3 has no Outer Temperature."}},
      {"one zone after the chain", {{"Edit31", ""}, {"Edit41", "80"}},
       {"Zone 4 is filled in but will not run: zone 3 has no Outer Temperature."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MapEntryTexts entries;
    for (const auto& [entry, text] : c.texts) entries.ForceText(entry, text);  // disabled ones too
    DryingConditions conditions;
    ASSERT_FALSE(ReadConditions(conditions, entries).has_value());
    EXPECT_EQ(PlausibilityWarnings(conditions, entries), c.warnings);
  }
}

}  // namespace
}  // namespace tovimar
