#include "support/recorded.h"
#include "input/read_conditions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "input/field_catalogue.h"
#include "input/number_parse.h"
#include "support/defaults.h"

namespace tovimar {
namespace {

constexpr double OldValue = -777.25;
constexpr std::int32_t OldZoneCount = 9;
constexpr std::int32_t OldStepCount = 42;
const std::string OldName = "previous.txt";

// A record as an earlier run might have left it: every value differs from every text the
// tests enter, so "unchanged" and "new" cannot be confused.
DryingConditions OldRecord() {
  DryingConditions c;
  for (const ConditionField& f : ConditionFields()) {
    f.Value(c) = OldValue;
  }
  c.ZoneCount = OldZoneCount;
  c.ZoneStepCount.fill(OldStepCount);
  c.ResultFileName = OldName;
  return c;
}

double NewValue(const MapEntryTexts& entries, const ConditionField& f) {
  return *ParseNumber(entries.Text(f.entryName));
}

// Compares every field of `c` with the entry's value where `isNew` says so and with the
// old record's value elsewhere.
void ExpectFields(const DryingConditions& c, const MapEntryTexts& entries,
                  const std::function<bool(const ConditionField&)>& isNew) {
  for (const ConditionField& f : ConditionFields()) {
    if (isNew(f)) {
      EXPECT_EQ(f.Value(c), NewValue(entries, f)) << f.entryName << " should be new";
    } else {
      EXPECT_EQ(f.Value(c), OldValue) << f.entryName << " should be unchanged";
    }
  }
}

bool IsGeneral(const ConditionField& f) { return f.readOrder > 0; }

void ExpectStepCountsUnchanged(const DryingConditions& c) {
  for (int zone = 1; zone <= MaxZones; ++zone) {
    EXPECT_EQ(c.ZoneStepCount[static_cast<std::size_t>(zone)], OldStepCount) << "zone " << zone;
  }
}

// Fills zone `zone` (2..14) with a valid, distinctive set of texts.
void FillZone(MapEntryTexts& entries, int zone) {
  const std::vector<std::string> texts{std::to_string(50 + zone), std::to_string(zone) + ".5",
                                       "0.001", "0.002", "0.021", "0.054"};
  for (int column = 1; column <= ZoneColumns; ++column) {
    entries.SetText(ZoneEntryName(zone, column), texts[static_cast<std::size_t>(column - 1)]);
  }
}


struct Reading {
  DryingConditions c = OldRecord();
  RecordedMessages messages;
  std::optional<ReadStop> stop;
};

Reading Read(const MapEntryTexts& entries) {
  Reading r;
  r.stop = ReadConditions(r.c, entries, r.messages);
  return r;
}

TEST(ReadConditions, FreshWindowGivesTwoZonesOf300Steps) {
  const MapEntryTexts entries;
  const Reading r = Read(entries);
  ASSERT_FALSE(r.stop.has_value());
  EXPECT_TRUE(r.messages.messages.empty());
  EXPECT_EQ(r.c.ZoneCount, 2);
  EXPECT_EQ(r.c.ZoneStepCount[1], 300);
  EXPECT_EQ(r.c.ZoneStepCount[2], 300);
  EXPECT_EQ(r.c.ResultFileName, "result.txt");
  const DryingConditions expected = test_support::DefaultConditions();
  for (const ConditionField& f : ConditionFields()) {
    if (f.zone <= 2) {
      EXPECT_EQ(f.Value(r.c), f.Value(expected)) << f.entryName;
    } else {
      EXPECT_EQ(f.Value(r.c), OldValue) << f.entryName << " of an inactive zone";
    }
  }
  // Step counts of inactive zones are left alone.
  EXPECT_EQ(r.c.ZoneStepCount[3], OldStepCount);
}

// Zone chains: which texts stand in zones 2..5 and what ZoneCount results.
struct ChainCase {
  std::string name;
  std::function<void(MapEntryTexts&)> setUp;
  std::int32_t zoneCount;
};

TEST(ReadConditions, ZoneChainEndsAtTheFirstEmptyOrZeroOuterTemperature) {
  const std::vector<ChainCase> cases{
      {"zone 2 empty, its other fields not numbers",
       [](MapEntryTexts& e) {
         e.SetText("Edit21", "");
         for (int column = 2; column <= 6; ++column) e.SetText(ZoneEntryName(2, column), "x");
       },
       1},
      {"zone 3 empty, zone 4 filled", [](MapEntryTexts& e) { FillZone(e, 4); }, 2},
      {"zone 3 zero as 0", [](MapEntryTexts& e) { FillZone(e, 3); e.SetText("Edit31", "0"); }, 2},
      {"zone 3 zero as 0.0", [](MapEntryTexts& e) { FillZone(e, 3); e.SetText("Edit31", "0.0"); }, 2},
      {"zone 3 zero as -0", [](MapEntryTexts& e) { FillZone(e, 3); e.SetText("Edit31", "-0"); }, 2},
      {"zone 3 zero as 0e5", [](MapEntryTexts& e) { FillZone(e, 3); e.SetText("Edit31", "0e5"); }, 2},
      {"zone 3 zero as +.000", [](MapEntryTexts& e) { FillZone(e, 3); e.SetText("Edit31", "+.000"); }, 2},
      {"zone 3 zero with spaces", [](MapEntryTexts& e) { FillZone(e, 3); e.SetText("Edit31", "  0  "); }, 2},
      // The zero test is made on the value as parsed, not on the double it is stored as.
      {"zone 3 below the double range", [](MapEntryTexts& e) { FillZone(e, 3); e.SetText("Edit31", "1e-400"); }, 3},
      {"zone 3 below half the least double", [](MapEntryTexts& e) { FillZone(e, 3); e.SetText("Edit31", "2e-324"); }, 3},
      {"zone 3 negative, below the double range", [](MapEntryTexts& e) { FillZone(e, 3); e.SetText("Edit31", "-1e-400"); }, 3},
      {"zone 3 minus zero", [](MapEntryTexts& e) { FillZone(e, 3); e.SetText("Edit31", "-0.0e-400"); }, 2},
      {"zone 3 zero, its other fields not numbers",
       [](MapEntryTexts& e) {
         e.SetText("Edit31", "0");
         for (int column = 2; column <= 6; ++column) e.SetText(ZoneEntryName(3, column), "bad");
       },
       2},
      {"zone 4 missing, zones 5 to 14 filled",
       [](MapEntryTexts& e) {
         FillZone(e, 3);
         for (int zone = 5; zone <= 14; ++zone) FillZone(e, zone);
       },
       3},
      {"all 14 zones",
       [](MapEntryTexts& e) {
         for (int zone = 3; zone <= 14; ++zone) FillZone(e, zone);
       },
       14},
      {"13 zones, zone 14 zero",
       [](MapEntryTexts& e) {
         for (int zone = 3; zone <= 14; ++zone) FillZone(e, zone);
         e.SetText("Edit141", "0");
       },
       13},
      {"a negative Outer Temperature counts as present",
       [](MapEntryTexts& e) { FillZone(e, 3); e.SetText("Edit31", "-10"); }, 3},
  };
  for (const ChainCase& chain : cases) {
    SCOPED_TRACE(chain.name);
    MapEntryTexts entries;
    chain.setUp(entries);
    const Reading r = Read(entries);
    ASSERT_FALSE(r.stop.has_value()) << r.stop->message;
    EXPECT_TRUE(r.messages.messages.empty());
    EXPECT_EQ(r.c.ZoneCount, chain.zoneCount);
    ExpectFields(r.c, entries, [&](const ConditionField& f) { return f.zone <= chain.zoneCount; });
    for (int zone = 1; zone <= MaxZones; ++zone) {
      const auto z = static_cast<std::size_t>(zone);
      if (zone <= chain.zoneCount) {
        EXPECT_EQ(r.c.ZoneStepCount[z], std::nearbyint(r.c.ZoneLength[z] / r.c.StepLength))
            << "zone " << zone;
      } else {
        EXPECT_EQ(r.c.ZoneStepCount[z], OldStepCount) << "zone " << zone;
      }
    }
  }
}

TEST(ReadConditions, AllFourteenZonesGetTheirOwnValuesAndSteps) {
  MapEntryTexts entries;
  for (int zone = 3; zone <= 14; ++zone) FillZone(entries, zone);
  const Reading r = Read(entries);
  ASSERT_FALSE(r.stop.has_value());
  EXPECT_EQ(r.c.ZoneCount, 14);
  EXPECT_EQ(r.c.ZoneAirTemp[14], 64.0);
  EXPECT_EQ(r.c.ZoneLength[14], 14.5);
  EXPECT_EQ(r.c.ZoneHeatCoefLower[14], 0.054);
  EXPECT_EQ(r.c.ZoneStepCount[14], 145);
  EXPECT_EQ(r.c.ZoneStepCount[3], 35);
  EXPECT_EQ(r.c.ZoneStepCount[2], 300);
}

TEST(ReadConditions, ZoneOneTakesPartWithAZeroOuterTemperature) {
  MapEntryTexts entries;
  entries.SetText("Edit8", "0");
  entries.SetText("Edit21", "");
  const Reading r = Read(entries);
  ASSERT_FALSE(r.stop.has_value());
  EXPECT_EQ(r.c.ZoneCount, 1);
  EXPECT_EQ(r.c.ZoneAirTemp[1], 0.0);
  EXPECT_EQ(r.c.ZoneStepCount[1], 300);
}

TEST(ReadConditions, SpacesAroundANumberAreAccepted) {
  MapEntryTexts entries;
  entries.SetText("Edit6", "   2.5   ");
  entries.SetText("Edit22", " 12.0");
  const Reading r = Read(entries);
  ASSERT_FALSE(r.stop.has_value());
  EXPECT_EQ(r.c.LineSpeed, 2.5);
  EXPECT_EQ(r.c.ZoneLength[2], 12.0);
  EXPECT_EQ(r.c.ZoneStepCount[2], 120);
}

// Every general field in turn holds a text that is not a number: the fields read before it
// take their new values, it and every later one keep the old, and so does the file name.
TEST(ReadConditions, BadGeneralFieldStopsWithTheGeneralMessage) {
  const std::vector<std::string> badTexts{"", " ", "0,5", "1,000", "abc", "1e400"};
  const auto& order = GeneralFieldsInReadOrder();
  ASSERT_EQ(order.size(), 42U);
  for (std::size_t i = 0; i < order.size(); ++i) {
    const std::string& bad = badTexts[i % badTexts.size()];
    SCOPED_TRACE(order[i]->entryName + " = \"" + bad + "\"");
    MapEntryTexts entries;
    entries.ForceText(order[i]->entryName, bad);  // disabled entries are read too
    entries.SetText("Edit250", "new.txt");
    const Reading r = Read(entries);
    ASSERT_TRUE(r.stop.has_value());
    EXPECT_EQ(r.stop->kind, ReadStopKind::InputMessage);
    EXPECT_EQ(r.stop->kind, ReadStopKind::InputMessage);
    EXPECT_EQ(r.stop->message, "Input value is not correct!");
    EXPECT_EQ(r.messages.messages, std::vector<std::string>{"Input value is not correct!"});
    ExpectFields(r.c, entries, [&](const ConditionField& f) {
      return f.readOrder > 0 && f.readOrder < order[i]->readOrder;
    });
    EXPECT_EQ(r.c.ResultFileName, OldName);
    EXPECT_EQ(r.c.ZoneCount, OldZoneCount);
    ExpectStepCountsUnchanged(r.c);
  }
}

TEST(ReadConditions, BaseFilmWeightNotANumberKeepsEverythingAfterIt) {
  MapEntryTexts entries;
  entries.SetText("Edit2", "0.0685kg");
  const Reading r = Read(entries);
  ASSERT_TRUE(r.stop.has_value());
  EXPECT_EQ(r.c.CoatingWeight0, 0.0695);
  EXPECT_EQ(r.c.BaseFilmWeight, OldValue);
  EXPECT_EQ(r.c.StepLength, OldValue);
  EXPECT_EQ(r.c.ResultFileName, OldName);
}

TEST(ReadConditions, EmptySaveFileNameStopsAfterTheGeneralFields) {
  MapEntryTexts entries;
  entries.SetText("Edit250", "");
  const Reading r = Read(entries);
  ASSERT_TRUE(r.stop.has_value());
  EXPECT_EQ(r.stop->kind, ReadStopKind::InputMessage);
  EXPECT_EQ(r.messages.messages, std::vector<std::string>{"Input Save File Name!"});
  ExpectFields(r.c, entries, IsGeneral);
  EXPECT_EQ(r.c.ResultFileName, "");
  EXPECT_EQ(r.c.ZoneCount, 1);
  ExpectStepCountsUnchanged(r.c);
}

TEST(ReadConditions, SaveFileNameOfSpacesPassesUntrimmed) {
  MapEntryTexts entries;
  entries.SetText("Edit250", "   ");
  const Reading r = Read(entries);
  ASSERT_FALSE(r.stop.has_value());
  EXPECT_EQ(r.c.ResultFileName, "   ");
}

// A field of zone k that is not a number: the zone-k message; the general fields and the
// name are new, ZoneCount is 1, and no zone of the chain reaches the record, not even
// the zones before k.
TEST(ReadConditions, BadZoneFieldStopsWithTheZoneMessage) {
  for (int zone = 2; zone <= MaxZones; ++zone) {
    // Column 1, the Outer Temperature, decides whether the zone is read at all.
    for (int column = 2; column <= ZoneColumns; ++column) {
      const std::string bad = column % 2 == 0 ? "" : "1.2.3";
      SCOPED_TRACE("zone " + std::to_string(zone) + ", column " + std::to_string(column));
      MapEntryTexts entries;
      for (int z = 3; z <= MaxZones; ++z) FillZone(entries, z);
      entries.SetText(ZoneEntryName(zone, column), bad);
      entries.SetText("Edit250", "new.txt");
      const Reading r = Read(entries);
      ASSERT_TRUE(r.stop.has_value());
      const std::string message = "Input value of Zone " + std::to_string(zone) + " is not correct!";
      EXPECT_EQ(r.stop->kind, ReadStopKind::InputMessage);
      EXPECT_EQ(r.stop->message, message);
      EXPECT_EQ(r.messages.messages, std::vector<std::string>{message});
      ExpectFields(r.c, entries, IsGeneral);
      EXPECT_EQ(r.c.ResultFileName, "new.txt");
      EXPECT_EQ(r.c.ZoneCount, 1);
      ExpectStepCountsUnchanged(r.c);
    }
  }
}

TEST(ReadConditions, ZoneThreeWithEmptyLengthGivesTheZoneThreeMessage) {
  MapEntryTexts entries;
  FillZone(entries, 3);
  entries.SetText("Edit31", "60");
  entries.SetText("Edit32", "");
  const Reading r = Read(entries);
  ASSERT_TRUE(r.stop.has_value());
  EXPECT_EQ(r.messages.messages, std::vector<std::string>{"Input value of Zone 3 is not correct!"});
  EXPECT_EQ(r.c.ZoneCount, 1);
  EXPECT_EQ(r.c.ZoneAirTemp[2], OldValue);  // zone 2's new values are not copied either
  EXPECT_EQ(r.c.ZoneLength[2], OldValue);
}

TEST(ReadConditions, MessageZoneNumbersAreDecimal) {
  EXPECT_EQ(ZoneValueNotCorrectMessage(2), "Input value of Zone 2 is not correct!");
  EXPECT_EQ(ZoneValueNotCorrectMessage(10), "Input value of Zone 10 is not correct!");
  EXPECT_EQ(ZoneValueNotCorrectMessage(14), "Input value of Zone 14 is not correct!");
}

// An Outer Temperature that is present but not a number stops the reading with an error
// that quotes the text; no input message is shown (the caller shows the error).
TEST(ReadConditions, OuterTemperatureNotANumberStopsWithAConversionError) {
  const std::vector<std::pair<int, std::string>> cases{
      {2, "abc"}, {3, " "}, {3, "6O"}, {14, "1,5"}, {5, "--1"}};
  for (const auto& [zone, text] : cases) {
    SCOPED_TRACE("zone " + std::to_string(zone) + " \"" + text + "\"");
    MapEntryTexts entries;
    for (int z = 3; z <= MaxZones; ++z) FillZone(entries, z);
    entries.SetText(ZoneEntryName(zone, 1), text);
    const Reading r = Read(entries);
    ASSERT_TRUE(r.stop.has_value());
    EXPECT_EQ(r.stop->kind, ReadStopKind::NotANumber);
    EXPECT_NE(r.stop->kind, ReadStopKind::InputMessage);
    EXPECT_EQ(r.stop->message, "\"" + text + "\" is not a valid number (Outer Temperature of zone " +
                                   std::to_string(zone) + ").");
    EXPECT_TRUE(r.messages.messages.empty());
    ExpectFields(r.c, entries, IsGeneral);
    EXPECT_EQ(r.c.ResultFileName, "result.txt");
    EXPECT_EQ(r.c.ZoneCount, 1);
    ExpectStepCountsUnchanged(r.c);
  }
}

TEST(ReadConditions, MessagePrecedence) {
  {
    SCOPED_TRACE("empty name and a bad field of zone 3");
    MapEntryTexts entries;
    FillZone(entries, 3);
    entries.SetText("Edit33", "bad");
    entries.SetText("Edit250", "");
    const Reading r = Read(entries);
    EXPECT_EQ(r.messages.messages, std::vector<std::string>{"Input Save File Name!"});
  }
  {
    SCOPED_TRACE("a bad general field and an empty name");
    MapEntryTexts entries;
    entries.SetText("Edit205", "bad");
    entries.SetText("Edit250", "");
    const Reading r = Read(entries);
    EXPECT_EQ(r.messages.messages, std::vector<std::string>{"Input value is not correct!"});
  }
  {
    SCOPED_TRACE("empty name and an Outer Temperature that is not a number");
    MapEntryTexts entries;
    entries.SetText("Edit21", "abc");
    entries.SetText("Edit250", "");
    const Reading r = Read(entries);
    ASSERT_TRUE(r.stop.has_value());
    EXPECT_EQ(r.stop->kind, ReadStopKind::InputMessage);
    EXPECT_EQ(r.messages.messages, std::vector<std::string>{"Input Save File Name!"});
  }
  {
    SCOPED_TRACE("a bad field of zone 2 before a refused step count");
    MapEntryTexts entries;
    entries.SetText("Edit9", "500");
    entries.SetText("Edit26", "x");
    const Reading r = Read(entries);
    EXPECT_EQ(r.messages.messages, std::vector<std::string>{"Input value of Zone 2 is not correct!"});
  }
}

struct StepCase {
  std::string zoneLength;
  std::string increment;
  std::int32_t steps;
};

TEST(ReadConditions, StepCountsRoundTheWideQuotientHalfToEven) {
  const std::vector<StepCase> cases{
      {"30.0", "0.1", 300}, {"0.75", "0.1", 7},   {"2.45", "0.1", 25},  {"2.5", "1.0", 2},
      {"3.5", "1.0", 4},    {"0.5", "1.0", 0},    {"1.5", "1.0", 2},    {"0.05", "0.1", 0},
      {"0", "0.1", 0},      {"-0.04", "0.1", 0},  {"199.9", "0.1", 1999}, {"1999.5", "1", 2000},
      {"-30", "-0.1", 300}, {"1", "3", 0},       {"2", "3", 1},
  };
  for (const StepCase& sc : cases) {
    SCOPED_TRACE(sc.zoneLength + " / " + sc.increment);
    MapEntryTexts entries;
    entries.SetText("Edit9", sc.zoneLength);
    entries.SetText("Edit20", sc.increment);
    entries.SetText("Edit21", "");
    const Reading r = Read(entries);
    if (sc.steps > MaxStepsPerZone) {
      ASSERT_TRUE(r.stop.has_value());
      EXPECT_EQ(r.stop->kind, ReadStopKind::StepCountRefused);
      continue;
    }
    ASSERT_FALSE(r.stop.has_value()) << r.stop->message;
    EXPECT_EQ(r.c.ZoneStepCount[1], sc.steps);
  }
}

struct RefusalCase {
  std::string name;
  std::function<void(MapEntryTexts&)> setUp;
  ReadStopKind kind;
  std::string message;
};

// Step counts that cannot be formed or do not fit a profile row stop the reading before
// anything is written; no input message is shown (the caller shows the error).
TEST(ReadConditions, StepCountsOutsideTheRowAreRefused) {
  const std::vector<RefusalCase> cases{
      {"zone 3 too long", [](MapEntryTexts& e) { FillZone(e, 3); e.SetText("Edit32", "250"); },
       ReadStopKind::StepCountRefused,
       "Zone 3 needs 2500 steps; a zone can have at most 1999. Increase the Increment of z or "
       "shorten the zone."},
      {"one step too many", [](MapEntryTexts& e) { e.SetText("Edit9", "200"); },
       ReadStopKind::StepCountRefused,
       "Zone 1 needs 2000 steps; a zone can have at most 1999. Increase the Increment of z or "
       "shorten the zone."},
      {"beyond a 32-bit count", [](MapEntryTexts& e) { e.SetText("Edit9", "1e10"); },
       ReadStopKind::StepCountRefused,
       "Zone 1 needs 100000000000 steps; a zone can have at most 1999. Increase the Increment "
       "of z or shorten the zone."},
      {"beyond a 64-bit count", [](MapEntryTexts& e) { e.SetText("Edit20", "1e-300"); },
       ReadStopKind::StepCountRefused,
       "Zone 1 needs 3.000e+301 steps; a zone can have at most 1999. Increase the Increment of "
       "z or shorten the zone."},
      {"negative zone length", [](MapEntryTexts& e) { e.SetText("Edit22", "-30"); },
       ReadStopKind::StepCountRefused,
       "Zone 2 would need -300 steps; a zone cannot have a negative number of steps. Neither the "
       "Zone Length nor the Increment of z may be negative."},
      {"negative increment", [](MapEntryTexts& e) { e.SetText("Edit20", "-0.1"); },
       ReadStopKind::StepCountRefused,
       "Zone 1 would need -300 steps; a zone cannot have a negative number of steps. Neither the "
       "Zone Length nor the Increment of z may be negative."},
      {"zero increment", [](MapEntryTexts& e) { e.SetText("Edit20", "0"); },
       ReadStopKind::ArithmeticFault,
       "Arithmetic error in the step count of zone 1: division by zero in Zone Length / "
       "Increment of z."},
      {"zero increment and zero length", [](MapEntryTexts& e) { e.SetText("Edit20", "-0.0"); e.SetText("Edit9", "0"); },
       ReadStopKind::ArithmeticFault,
       "Arithmetic error in the step count of zone 1: zero divided by zero in Zone Length / "
       "Increment of z."},
  };
  for (const RefusalCase& rc : cases) {
    SCOPED_TRACE(rc.name);
    MapEntryTexts entries;
    rc.setUp(entries);
    const Reading r = Read(entries);
    ASSERT_TRUE(r.stop.has_value());
    EXPECT_EQ(r.stop->kind, rc.kind);
    EXPECT_EQ(r.stop->message, rc.message);
    EXPECT_NE(r.stop->kind, ReadStopKind::InputMessage);
    EXPECT_TRUE(r.messages.messages.empty());
    // The zones are read and stored; no step count is.
    EXPECT_GE(r.c.ZoneCount, 2);
    ExpectFields(r.c, entries, [&](const ConditionField& f) { return f.zone <= r.c.ZoneCount; });
    ExpectStepCountsUnchanged(r.c);
  }
}

TEST(ReadConditions, DisabledEntriesAreReadLikeAllOthers) {
  MapEntryTexts entries;
  entries.ForceText("Edit222", "500.5");
  const Reading r = Read(entries);
  ASSERT_FALSE(r.stop.has_value());
  EXPECT_EQ(r.c.HeatOfVaporization1, 500.5);
}

}  // namespace
}  // namespace tovimar
