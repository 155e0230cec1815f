// The line file and the `--set` names of the line settings.
#include "conditionfile/line_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "format/file_writer.h"
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
  // The same key in two objects is no repetition; a byte-order mark is skipped.
  const LineSettings s = ParseLineSettings(
      "\xEF\xBB\xBF" R"({"ZoneExhaustFlow": {"3": 8000}, "ZoneLELLimit": {"4": 30}, "ResidualTarget": null})");
  EXPECT_EQ(s.ZoneLELLimit[4], 30);
  EXPECT_EQ(s.WebWidth, 1);
  EXPECT_EQ(s.LEL1, 1.4);
  EXPECT_EQ(s.LEL2, 1.1);
  EXPECT_EQ(s.LELLimit, 25);
  EXPECT_EQ(s.ZoneExhaustFlow[3], 8000);
  EXPECT_FALSE(s.ZoneExhaustFlow[1].has_value());
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
      // A repeated key would quietly lose its first value.
      {R"({"LEL1": 1.4, "LEL2": 1.1, "LEL1": 2})", "The line file holds the key \"LEL1\" twice."},
      {R"({"ZoneExhaustFlow": {"1": 10, "2": 0, "1": 20}})",
       "\"ZoneExhaustFlow\" holds the key \"1\" twice."},
      {R"({"Optimise": {"Limits": [], "Limits": ["MaxWebTemp<=90"]}})",
       "\"Optimise\" holds the key \"Limits\" twice."},
      {R"({"Fit": {"Parameters": ["Keff"]}, "Fit": {}})", "The line file holds the key \"Fit\" twice."},
      // The changed values of the named materials: their entries' field names only.
      {R"({"MaterialOverrides": {"LineSpeed": 1}})",
       "Unknown key \"LineSpeed\" in \"MaterialOverrides\": it holds the names of the materials' entries."},
      {R"({"MaterialOverrides": {"Edit222": 400}})",
       "Unknown key \"Edit222\" in \"MaterialOverrides\": it holds the names of the materials' entries."},
      {R"({"MaterialOverrides": {"HeatOfVaporization1": null}})",
       "\"MaterialOverrides.HeatOfVaporization1\" must be a number or a text."},
      {R"({"MaterialOverrides": [400]})", "\"MaterialOverrides\" must be an object."},
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

LineSettings WithSetups() {
  LineSettings s;
  s.Optimise = {"max:LineSpeed", {"LineSpeed=0.1:3", "ZoneAirTemp[2]=40:120"},
                {"LineEndResidualSolvent<=2"}};
  s.Fit = {"line7.csv", {"Keff", "We=0:1"}, {"web temperature (C)=0.5"}};
  return s;
}

TEST(LineFile, SetupsGoBackAndForthAsTheyAre) {
  const std::string text = FormatLineSettings(WithSetups());
  const std::string setups =
      "  \"BoilingMarginMin\": 0.0,\n"
      "  \"Optimise\": {\n"
      "    \"Objective\": \"max:LineSpeed\",\n"
      "    \"Variables\": [\n      \"LineSpeed=0.1:3\",\n      \"ZoneAirTemp[2]=40:120\"\n    ],\n"
      "    \"Limits\": [\n      \"LineEndResidualSolvent<=2\"\n    ]\n  },\n"
      "  \"Fit\": {\n"
      "    \"MeasurementFile\": \"line7.csv\",\n"
      "    \"Parameters\": [\n      \"Keff\",\n      \"We=0:1\"\n    ],\n"
      "    \"StandardDeviations\": [\n      \"web temperature (C)=0.5\"\n    ]\n  }\n}\n";
  ASSERT_GE(text.size(), setups.size());
  EXPECT_EQ(text.substr(text.size() - setups.size()), setups);
  const LineSettings back = ParseLineSettings(text);
  EXPECT_EQ(back.Optimise.objective, "max:LineSpeed");
  EXPECT_EQ(back.Optimise.variables, WithSetups().Optimise.variables);
  EXPECT_EQ(back.Optimise.limits, WithSetups().Optimise.limits);
  EXPECT_EQ(back.Fit.measurementFile, "line7.csv");
  EXPECT_EQ(back.Fit.parameters, WithSetups().Fit.parameters);
  EXPECT_EQ(back.Fit.standardDeviations, WithSetups().Fit.standardDeviations);
  EXPECT_EQ(FormatLineSettings(back), text);

  // Empty set-ups, and the empty parts of one, are left out.
  LineSettings partial;
  partial.Optimise.limits = {"MaxWebTemp<=120"};
  const std::string plain = FormatLineSettings(LineSettings{});  // ends "0.0\n}\n"
  EXPECT_EQ(FormatLineSettings(partial),
            plain.substr(0, plain.size() - 3) + ",\n  \"Optimise\": {\n    \"Limits\": [\n      \"MaxWebTemp<=120\"\n    ]\n  }\n}\n");
  const LineSettings left = ParseLineSettings(R"({"Optimise": {}, "Fit": {"Parameters": []}})");
  EXPECT_EQ(FormatLineSettings(left), plain);
}

TEST(LineFile, RefusesSetupsOfTheWrongShape) {
  const struct {
    const char* json;
    const char* message;
  } cases[] = {
      {R"({"Optimise": []})", "\"Optimise\" must be an object."},
      {R"({"Fit": "line7.csv"})", "\"Fit\" must be an object."},
      {R"({"Optimise": {"Objective": ["max:LineSpeed"]}})", "\"Optimise.Objective\" must be a text."},
      {R"({"Optimise": {"Objective": ""}})", "\"Optimise.Objective\" must not be empty."},
      {R"({"Optimise": {"Variables": "LineSpeed=0.1:3"}})",
       "\"Optimise.Variables\" must be a list of texts."},
      {R"({"Optimise": {"Limits": ["MaxWebTemp<=120", 2]}})", "\"Optimise.Limits\" must be a list of texts."},
      {R"({"Optimise": {"Limits": [""]}})", "\"Optimise.Limits\" must not hold an empty text."},
      {R"({"Optimise": {"Goal": "max:LineSpeed"}})", "Unknown key \"Goal\" in \"Optimise\"."},
      {R"({"Fit": {"MeasurementFile": null}})", "\"Fit.MeasurementFile\" must be a text."},
      {R"({"Fit": {"MeasurementFile": ""}})", "\"Fit.MeasurementFile\" must not be empty."},
      {R"({"Fit": {"Parameters": {"Keff": 1}}})", "\"Fit.Parameters\" must be a list of texts."},
      {R"({"Fit": {"StandardDeviations": [""]}})", "\"Fit.StandardDeviations\" must not hold an empty text."},
      {R"({"Fit": {"Measurements": "line7.csv"}})", "Unknown key \"Measurements\" in \"Fit\"."},
  };
  for (const auto& k : cases) {
    try {
      ParseLineSettings(k.json);
      ADD_FAILURE() << "accepted " << k.json;
    } catch (const LineFileError& e) {
      EXPECT_EQ(std::string(e.what()), k.message) << k.json;
    }
  }
  LineSettings notUtf8;
  notUtf8.Fit.measurementFile = "line\xff.csv";
  EXPECT_THROW(FormatLineSettings(notUtf8), LineFileError);
}

TEST(LineFile, FileErrorsNameTheFile) {
  test_support::ScratchDir dir;
  const std::string missing = dir.File("missing.json");
  try {
    ReadLineFile(missing);
    ADD_FAILURE() << "read a missing file";
  } catch (const FileError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Line file can not open! (\"" + missing + "\": No such file or directory)");
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

// A line file of 16 MiB is read; one byte more is refused unread.
TEST(LineFile, SixteenMiBAtMost) {
  test_support::ScratchDir dir;
  const std::string path = dir.File("line.json");
  const std::string object = R"({"LEL1": 2})";
  test_support::PutFileBytes(path, object + std::string(MaxLineFileLength - object.size(), ' '));
  EXPECT_EQ(ReadLineFile(path).LEL1, 2);
  test_support::PutFileBytes(path, object + std::string(MaxLineFileLength - object.size() + 1, ' '));
  try {
    ReadLineFile(path);
    ADD_FAILURE() << "read a line file longer than 16 MiB";
  } catch (const FileError& e) {
    EXPECT_EQ(e.failure(), FileError::Failure::BadContent);
    EXPECT_EQ(std::string(e.what()), "The line file \"" + path + "\" is longer than 16 MiB.");
  }
}

TEST(LineSettingNames, EverySettingOnceWithCaptionAndUnit) {
  const auto& all = LineSettingCatalogue();
  // The judging settings, the materials' keys, then the drying model's (one per row, one
  // per zone of a zone row).
  const std::size_t judging = 6u + 2u * MaxZones;
  ASSERT_EQ(all.size(), judging + 3u + 17u + 2u * MaxZones);
  const std::vector<LineSetting> names(all.begin(), all.begin() + judging);
  EXPECT_EQ(names.front().name, "WebWidth");
  EXPECT_EQ(names[14].name, "ZoneExhaustFlow[14]");
  EXPECT_EQ(names[14].zone, 14);
  EXPECT_EQ(names[14].caption, "Exhaust flow of zone 14");
  EXPECT_EQ(names.back().name, "BoilingMarginMin");
  EXPECT_EQ(all[judging + 2].name, "Polymer");
  EXPECT_EQ(all[judging + 3].name, "Model");
  EXPECT_EQ(all[judging + 3].object, "Model");
  EXPECT_EQ(all.back().name, "ZoneMassTransferCoef2[14]");
  EXPECT_EQ(all.back().caption, "Mass-transfer coefficient of solvent-2 of zone 14");
  for (const LineSetting& n : names) {
    EXPECT_FALSE(n.caption.empty()) << n.name;
    EXPECT_EQ(n.unit.empty(), n.type == LineSettingType::Text) << n.name;
    // Every name takes a value.
    LineSettings s;
    EXPECT_NO_THROW(ApplyLineSetting(s, n.name + "=7")) << n.name;
  }
}

// A zone's exhaust flow is given (0 included: a zone without exhaust air) or not given
// (left out, null, or cleared with an empty value); writing keeps the difference.
TEST(LineFile, ExhaustFlowGivenAsZeroIsNotLeftOut) {
  const struct {
    const char* json;
    const char* assignment;  // applied after reading; "" for none
    std::optional<double> flow2;
    const char* written;     // the "ZoneExhaustFlow" object as written back
  } cases[] = {
      {R"({"ZoneExhaustFlow": {"2": 0}})", "", 0.0, "{\n    \"2\": 0.0\n  }"},
      {R"({"ZoneExhaustFlow": {"2": null}})", "", std::nullopt, "{}"},
      {R"({"ZoneExhaustFlow": {}})", "", std::nullopt, "{}"},
      {"{}", "ZoneExhaustFlow[2]=0", 0.0, "{\n    \"2\": 0.0\n  }"},
      {R"({"ZoneExhaustFlow": {"2": 0}})", "ZoneExhaustFlow[2]=", std::nullopt, "{}"},
      {R"({"ZoneExhaustFlow": {"2": 8000}})", "ZoneExhaustFlow[2]=0", 0.0, "{\n    \"2\": 0.0\n  }"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.json) + " " + c.assignment);
    LineSettings s = ParseLineSettings(c.json);
    if (*c.assignment != '\0') ApplyLineSetting(s, c.assignment);
    EXPECT_EQ(s.ZoneExhaustFlow[2], c.flow2);
    const std::string text = FormatLineSettings(s);
    EXPECT_NE(text.find(std::string("\"ZoneExhaustFlow\": ") + c.written + ",\n"), std::string::npos) << text;
    EXPECT_EQ(ParseLineSettings(text).ZoneExhaustFlow, s.ZoneExhaustFlow);
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
  EXPECT_FALSE(s.ZoneExhaustFlow[3].has_value());
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
