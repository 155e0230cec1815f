// The line file and the `--set` names of the line settings.
#include "conditionfile/line_file.h"

#include <gtest/gtest.h>

#include <string>

#include "support/scratch_dir.h"

namespace tovimar {
namespace {

LineSettings Sample() {
  LineSettings s;
  s.WebWidth = 1.25;
  s.ZoneExhaustFlow[1] = 10000;
  s.ZoneExhaustFlow[14] = 2500.5;
  s.LEL1 = 1.8;
  s.LEL2 = 1.2;
  s.LELLimit = 20;
  s.ZoneLELLimit[2] = 50;
  s.ResidualTarget = 0.75;
  s.BoilingMarginMin = 3;
  return s;
}

void ExpectSame(const LineSettings& a, const LineSettings& b) {
  EXPECT_EQ(a.WebWidth, b.WebWidth);
  EXPECT_EQ(a.ZoneExhaustFlow, b.ZoneExhaustFlow);
  EXPECT_EQ(a.LEL1, b.LEL1);
  EXPECT_EQ(a.LEL2, b.LEL2);
  EXPECT_EQ(a.LELLimit, b.LELLimit);
  EXPECT_EQ(a.ZoneLELLimit, b.ZoneLELLimit);
  EXPECT_EQ(a.ResidualTarget, b.ResidualTarget);
  EXPECT_EQ(a.BoilingMarginMin, b.BoilingMarginMin);
}

TEST(LineFile, FormatsEveryKeyInOrder) {
  EXPECT_EQ(FormatLineSettings(Sample()),
            "{\n"
            "  \"WebWidth\": 1.25,\n"
            "  \"ZoneExhaustFlow\": {\n    \"1\": 10000.0,\n    \"14\": 2500.5\n  },\n"
            "  \"LEL1\": 1.8,\n  \"LEL2\": 1.2,\n  \"LELLimit\": 20.0,\n"
            "  \"ZoneLELLimit\": {\n    \"2\": 50.0\n  },\n"
            "  \"ResidualTarget\": 0.75,\n"
            "  \"BoilingMarginMin\": 3.0\n"
            "}\n");
}

TEST(LineFile, WritesAndReadsBackTheSameSettings) {
  test_support::ScratchDir dir;
  const std::string path = dir.File("line.json");
  WriteLineFile(path, Sample());
  ExpectSame(ReadLineFile(path), Sample());
  WriteLineFile(path, LineSettings{});
  ExpectSame(ReadLineFile(path), LineSettings{});
}

TEST(LineFile, LeftOutKeysKeepTheirDefaults) {
  const LineSettings s =
      ParseLineSettings(R"({"ZoneExhaustFlow": {"3": 8000}, "ResidualTarget": null})");
  EXPECT_EQ(s.WebWidth, 1);
  EXPECT_EQ(s.LEL1, 1.4);
  EXPECT_EQ(s.LEL2, 1.1);
  EXPECT_EQ(s.LELLimit, 25);
  EXPECT_EQ(s.ZoneExhaustFlow[3], 8000);
  EXPECT_EQ(s.ZoneExhaustFlow[1], 0);
  EXPECT_FALSE(s.ResidualTarget.has_value());
  EXPECT_EQ(s.LELLimitOfZone(3), 25);
}

TEST(LineFile, RefusesWithTheKeyNamed) {
  const struct {
    const char* json;
    const char* message;
  } cases[] = {
      {R"({"LEL1": "1.4"})", "\"LEL1\" must be a number."},
      {R"({"WebWidth": true})", "\"WebWidth\" must be a number."},
      {R"({"WebWidth": -1})", "\"WebWidth\" must not be negative."},
      {R"({"BoilingMarginMin": 1e400})",
       "The line file holds a number out of range (number overflow parsing '1e400')."},
      {R"({"LEL2": 0})", "\"LEL2\" must be greater than zero."},
      {R"({"LELLimit": 0.0})", "\"LELLimit\" must be greater than zero."},
      {R"({"ZoneLELLimit": {"4": 0}})", "\"ZoneLELLimit[4]\" must be greater than zero."},
      {R"({"ZoneExhaustFlow": {"2": -5}})", "\"ZoneExhaustFlow[2]\" must not be negative."},
      {R"({"ZoneExhaustFlow": {"15": 5}})",
       "\"ZoneExhaustFlow\" has no zone \"15\": the zones are \"1\" to \"14\"."},
      {R"({"ZoneExhaustFlow": {"01": 5}})",
       "\"ZoneExhaustFlow\" has no zone \"01\": the zones are \"1\" to \"14\"."},
      {R"({"ZoneExhaustFlow": [1000]})",
       "\"ZoneExhaustFlow\" must be an object of zone numbers \"1\" to \"14\"."},
      {R"({"ResidualTarget": {}})", "\"ResidualTarget\" must be a number."},
      {R"({"WebWidht": 1})", "Unknown key \"WebWidht\" in the line file."},
      {R"([1, 2])", "The line file must hold one JSON object."},
      {R"({"LEL1": 1.4,})", "The line file is not JSON (at byte 14)."},
  };
  for (const auto& k : cases) {
    try {
      ParseLineSettings(k.json);
      ADD_FAILURE() << "accepted " << k.json;
    } catch (const LineFileError& e) {
      EXPECT_EQ(std::string(e.what()), k.message) << k.json;
      EXPECT_EQ(e.kind(), ErrorKind::Input);
    }
  }
}

TEST(LineFile, FileErrorsNameTheFile) {
  test_support::ScratchDir dir;
  const std::string missing = dir.File("missing.json");
  try {
    ReadLineFile(missing);
    ADD_FAILURE() << "read a missing file";
  } catch (const UserError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::File);
    EXPECT_EQ(std::string(e.what()), "The line file \"" + missing + "\" cannot be opened.");
  }
  const std::string bad = dir.File("bad.json");
  test_support::PutFileBytes(bad, R"({"LEL1": -1})");
  try {
    ReadLineFile(bad);
    ADD_FAILURE() << "read a refused file";
  } catch (const LineFileError& e) {
    EXPECT_EQ(std::string(e.what()), "\"" + bad + "\": \"LEL1\" must not be negative.");
  }
}

TEST(LineSettingNames, EverySettingOnceWithCaptionAndUnit) {
  const auto& names = LineSettingNames();
  ASSERT_EQ(names.size(), 6u + 2u * MaxZones);
  EXPECT_EQ(names.front().name, "WebWidth");
  EXPECT_EQ(names[14].name, "ZoneExhaustFlow[14]");
  EXPECT_EQ(names[14].zone, 14);
  EXPECT_EQ(names[14].caption, "Exhaust flow of zone 14");
  EXPECT_EQ(names.back().name, "BoilingMarginMin");
  for (const LineSettingName& n : names) {
    EXPECT_FALSE(n.caption.empty()) << n.name;
    EXPECT_FALSE(n.unit.empty()) << n.name;
    // Every name takes a value.
    LineSettings s;
    EXPECT_NO_THROW(ApplyLineSetting(s, n.name + "=7")) << n.name;
  }
}

TEST(LineSettingNames, ApplyChangesOneSetting) {
  LineSettings s;
  ApplyLineSetting(s, "ZoneExhaustFlow[3]=8000");
  ApplyLineSetting(s, "ZoneLELLimit[3]= 50 ");
  ApplyLineSetting(s, "ResidualTarget=1.5e0");
  ApplyLineSetting(s, "LEL2=1.3");
  EXPECT_EQ(s.ZoneExhaustFlow[3], 8000);
  EXPECT_EQ(s.LELLimitOfZone(3), 50);
  EXPECT_EQ(s.ResidualTarget, 1.5);
  EXPECT_EQ(s.LEL2, 1.3);
  ApplyLineSetting(s, "ZoneExhaustFlow[3]=");
  ApplyLineSetting(s, "ZoneLELLimit[3]=");
  ApplyLineSetting(s, "ResidualTarget=");
  EXPECT_EQ(s.ZoneExhaustFlow[3], 0);
  EXPECT_EQ(s.LELLimitOfZone(3), 25);
  EXPECT_FALSE(s.ResidualTarget.has_value());
}

TEST(LineSettingNames, RefusedAssignmentsLeaveTheSettings) {
  const struct {
    const char* assignment;
    const char* message;
  } cases[] = {
      {"LEL1", "\"LEL1\" is not NAME=VALUE."},
      {"LEL3=1", "There is no line setting \"LEL3\"."},
      {"ZoneExhaustFlow[15]=1", "There is no line setting \"ZoneExhaustFlow[15]\"."},
      {"LEL1=1,4", "\"LEL1\" needs a number, not \"1,4\"."},
      {"WebWidth=", "\"WebWidth\" needs a number."},
      {"LELLimit=0", "\"LELLimit\" must be greater than zero."},
      {"ZoneExhaustFlow[2]=-1", "\"ZoneExhaustFlow[2]\" must not be negative."},
  };
  for (const auto& k : cases) {
    LineSettings s = Sample();
    try {
      ApplyLineSetting(s, k.assignment);
      ADD_FAILURE() << "accepted " << k.assignment;
    } catch (const LineFileError& e) {
      EXPECT_EQ(std::string(e.what()), k.message) << k.assignment;
    }
    ExpectSame(s, Sample());
  }
}

}  // namespace
}  // namespace tovimar
