#include "input/zone_chain.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "input/field_catalogue.h"

namespace tovimar {
namespace {

struct ChainCase {
  const char* what;
  std::map<int, std::string> outer;  // Outer Temperature texts by zone; the rest as a fresh window
  int active;
  ZoneChainEnd end;
  int endZone;
  const char* text;
};

std::vector<ChainCase> ChainCases() {
  using E = ZoneChainEnd;
  std::map<int, std::string> all;
  for (int zone = 2; zone <= MaxZones; ++zone) {
    all[zone] = "80";
  }
  std::map<int, std::string> gapAfterFive = all;
  gapAfterFive[6] = "";
  std::map<int, std::string> zeroAtNine = all;
  zeroAtNine[9] = "-0.0";
  return {
      {"fresh window", {}, 2, E::NoOuterTemperature, 3,
       "Active zones: 2 (zone 3 has no Outer Temperature)"},
      {"zone 2 emptied", {{2, ""}, {3, "80"}}, 1, E::NoOuterTemperature, 2,
       "Active zones: 1 (zone 2 has no Outer Temperature)"},
      {"zone 2 at zero", {{2, "0"}}, 1, E::OuterTemperatureZero, 2,
       "Active zones: 1 (zone 2 has Outer Temperature 0)"},
      {"all fourteen", all, 14, E::AllZones, 0, "Active zones: 14 (all 14 zones)"},
      {"a gap ends the chain", gapAfterFive, 5, E::NoOuterTemperature, 6,
       "Active zones: 5 (zone 6 has no Outer Temperature)"},
      {"minus zero ends it", zeroAtNine, 8, E::OuterTemperatureZero, 9,
       "Active zones: 8 (zone 9 has Outer Temperature 0)"},
      {"not a number", {{3, "8O"}}, 2, E::OuterTemperatureNotANumber, 3,
       "Active zones: 2 (zone 3: Outer Temperature is not a number)"},
      {"spaces only are not a number", {{3, "  "}}, 2, E::OuterTemperatureNotANumber, 3,
       "Active zones: 2 (zone 3: Outer Temperature is not a number)"},
      {"a comma is not a number", {{3, "80,5"}}, 2, E::OuterTemperatureNotANumber, 3,
       "Active zones: 2 (zone 3: Outer Temperature is not a number)"},
      {"negative temperatures take part", {{3, "-5"}}, 3, E::NoOuterTemperature, 4,
       "Active zones: 3 (zone 4 has no Outer Temperature)"},
  };
}

TEST(ZoneChain, FollowsTheOuterTemperatures) {
  for (const ChainCase& c : ChainCases()) {
    SCOPED_TRACE(c.what);
    MapEntryTexts entries;
    for (const auto& [zone, text] : c.outer) {
      entries.SetText(ZoneField(zone, 1).entryName, text);
    }
    const ZoneChain chain = ActiveZoneChain(entries);
    EXPECT_EQ(chain.activeZones, c.active);
    EXPECT_EQ(chain.end, c.end);
    EXPECT_EQ(chain.endZone, c.endZone);
    EXPECT_EQ(ZoneChainText(chain), c.text);
  }
}

// Only the Outer Temperature decides: a zone with every other column empty still counts.
TEST(ZoneChain, OtherColumnsDoNotEndTheChain) {
  MapEntryTexts entries;
  entries.SetText(ZoneField(3, 1).entryName, "70");
  for (int column = 2; column <= ZoneColumns; ++column) {
    entries.SetText(ZoneField(2, column).entryName, "x");
  }
  EXPECT_EQ(ActiveZoneChain(entries).activeZones, 3);
}

}  // namespace
}  // namespace tovimar
