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
      {"zones after the chain", {{"Edit31", ""}, {"Edit41", "80"}, {"Edit51", "80"}},
       {"Zones 4 to 5 are filled in but will not run: zone 3 has no Outer Temperature."}},
      {"one zone after the chain", {{"Edit31", ""}, {"Edit41", "80"}},
       {"Zone 4 is filled in but will not run: zone 3 has no Outer Temperature."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MapEntryTexts entries;
    for (const auto& [entry, text] : c.texts) entries.SetText(entry, text);
    DryingConditions conditions;
    ASSERT_FALSE(ReadConditions(conditions, entries).has_value());
    EXPECT_EQ(PlausibilityWarnings(conditions, entries), c.warnings);
  }
}

}  // namespace
}  // namespace tovimar
