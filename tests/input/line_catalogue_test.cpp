#include "input/line_catalogue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <tuple>
#include <utility>

#include "conditionfile/line_file.h"
#include "format/csv.h"
#include "input/condition_overrides.h"

namespace tovimar {
namespace {

// A value inside the setting's range that differs from its default.
double OtherValue(const LineSetting& setting) {
  const double start = setting.Number(LineSettings{}).value_or(setting.lower);
  return std::isinf(setting.upper) ? start * 2 + 0.375 : (setting.lower + setting.upper) / 2;
}

TEST(LineCatalogue, NamesAndKeysAreUniqueAndEveryDefaultIsInItsRange) {
  const LineSettings defaults;
  std::set<std::string> names;
  std::set<std::tuple<std::string, std::string, int>> keys;
  for (const LineSetting& s : LineSettingCatalogue()) {
    EXPECT_TRUE(names.insert(s.name).second) << s.name;
    EXPECT_TRUE(keys.insert({s.object, s.key, s.zone}).second) << s.name;
    EXPECT_EQ(s.name, s.zone == 0 ? s.key : s.key + "[" + std::to_string(s.zone) + "]");
    EXPECT_FALSE(s.caption.empty()) << s.name;
    EXPECT_FALSE(s.meaning.empty()) << s.name;
    EXPECT_EQ(FindLineSetting(s.name), &s);
    EXPECT_EQ(FindLineSetting(s.object, s.key, s.zone), &s);
    if (!s.optional) {
      EXPECT_TRUE(s.IsSet(defaults)) << s.name << " has no default";
    }
    if (s.type != LineSettingType::Number) continue;
    // Only a ratio or a count of the drying model has no unit.
    EXPECT_TRUE(!s.unit.empty() || s.object == "Model") << s.name;
    const std::optional<double> value = s.Number(defaults);
    if (value) {
      EXPECT_TRUE(s.lowerIncluded ? *value >= s.lower : *value > s.lower) << s.name;
      EXPECT_LE(*value, s.upper) << s.name;
    }
  }
  EXPECT_EQ(FindLineSetting("ZoneExhaustFlow[15]"), nullptr);
  EXPECT_EQ(FindLineSetting("", "ZoneExhaustFlow", 0), nullptr);
}

// Each setting set by `--set` alone changes only itself, and the line file and the text
// `--set` takes give it back.
TEST(LineCatalogue, EverySettingRoundTripsThroughSetAndTheLineFile) {
  const LineSettings defaults;
  for (const LineSetting& s : LineSettingCatalogue()) {
    LineSettings set;
    // A text of a setting with choices: its last, which is not its default.
    const std::string text = s.type == LineSettingType::Number ? ShortestNumberText(OtherValue(s))
                             : s.choices.empty()              ? "x-1"
                                                              : s.choices.back();
    ApplyLineSetting(set, s.name + "=" + text);
    EXPECT_EQ(LineSettingText(s, set), text) << s.name;
    EXPECT_FALSE(s.Same(set, defaults)) << s.name;
    const LineSettings read = ParseLineSettings(FormatLineSettings(set));
    for (const LineSetting& other : LineSettingCatalogue()) {
      EXPECT_TRUE(other.Same(read, set)) << s.name << " read back, " << other.name;
      if (&other != &s) {
        EXPECT_TRUE(other.Same(set, defaults)) << s.name << " changed " << other.name;
      }
    }
  }
}

// The lower bound of every number: taken when it is included, and refused below (and at it
// when it is not) with the setting named; `settings` stays as it was.
TEST(LineCatalogue, EveryLowerBoundIsOneBoundary) {
  for (const LineSetting& s : LineSettingCatalogue()) {
    if (s.type != LineSettingType::Number) continue;
    LineSettings settings;
    const LineSettings before = settings;
    const std::string below =
        "\"" + s.name + "\" " +
        (s.lower == 0 ? std::string("must not be negative.")
                      : (s.lowerIncluded ? "must be at least " : "must be greater than ") + ShortestNumberText(s.lower) + ".");
    try {
      SetLineSetting(settings, s, s.lower - 1);
      ADD_FAILURE() << s.name << " took a value below its range";
    } catch (const LineSettingError& e) {
      EXPECT_EQ(std::string(e.what()), below) << s.name;
    }
    if (s.lowerIncluded) {
      SetLineSetting(settings, s, s.lower);
      EXPECT_EQ(s.Number(settings), s.lower) << s.name;
      continue;
    }
    try {
      SetLineSetting(settings, s, s.lower);
      ADD_FAILURE() << s.name << " took its excluded lower bound";
    } catch (const LineSettingError& e) {
      EXPECT_EQ(std::string(e.what()), "\"" + s.name + "\" must be greater than zero.") << s.name;
    }
    EXPECT_TRUE(s.Same(settings, before)) << s.name;
  }
}

TEST(LineCatalogue, AnEmptyValueClearsOnlyAnOptionalSetting) {
  for (const LineSetting& s : LineSettingCatalogue()) {
    LineSettings settings;
    if (s.type == LineSettingType::Number) SetLineSetting(settings, s, OtherValue(s));
    if (s.optional) {
      ApplyLineSetting(settings, s.name + "=");
      EXPECT_FALSE(s.IsSet(settings)) << s.name;
    } else {
      EXPECT_THROW(ApplyLineSetting(settings, s.name + "="), LineSettingError) << s.name;
      EXPECT_TRUE(s.IsSet(settings)) << s.name;
    }
  }
}

TEST(LineCatalogue, RangeTexts) {
  EXPECT_EQ(RangeText(*FindLineSetting("WebWidth")), "0 or more");
  EXPECT_EQ(RangeText(*FindLineSetting("LEL1")), "above 0");
  LineSetting bounded = *FindLineSetting("WebWidth");
  bounded.upper = 2.5;
  EXPECT_EQ(RangeText(bounded), "0 to 2.5");
  LineSettings s;
  EXPECT_THROW(SetLineSetting(s, bounded, 2.75), LineSettingError);
  SetLineSetting(s, bounded, 2.5);
  EXPECT_EQ(s.WebWidth, 2.5);
}

// A member of a nested record is reached through the path of member pointers; a text
// member is a text setting.
TEST(LineCatalogue, MemberAccessReachesNestedTextMembers) {
  const LineSettingAccess access = MemberAccess<&LineSettings::Optimise, &OptimiseSetup::objective>();
  ASSERT_NE(access.setText, nullptr);
  EXPECT_EQ(access.number, nullptr);
  LineSettings s;
  access.setText(s, 0, "max:LineSpeed");
  EXPECT_EQ(s.Optimise.objective, "max:LineSpeed");
  EXPECT_EQ(access.text(s, 0), "max:LineSpeed");
  const LineSettingAccess zones = MemberAccess<&LineSettings::ZoneLELLimit>();
  zones.setNumber(s, 4, 40.0);
  EXPECT_EQ(s.ZoneLELLimit[4], 40.0);
  EXPECT_EQ(zones.number(s, 3), std::nullopt);
}

// A study sets a condition field through its override and a line setting by value.
TEST(LineCatalogue, StudyInputsAreSetByValue) {
  ConditionOverrides overrides;
  LineSettings line;
  EXPECT_TRUE(SetStudyInput("LineSpeed", 0.75, overrides, line));
  EXPECT_EQ(overrides.Find(*FindField("LineSpeed")), 0.75);
  EXPECT_TRUE(SetStudyInput("ZoneExhaustFlow[2]", 0.1 + 0.2, overrides, line));
  EXPECT_EQ(line.ZoneExhaustFlow[2], 0.1 + 0.2);
  EXPECT_THROW(SetStudyInput("LEL2", 0, overrides, line), LineSettingError);
  EXPECT_EQ(line.LEL2, 1.1);
  EXPECT_FALSE(SetStudyInput("NoSuchInput", 1, overrides, line));
}

// The drying model's name takes only the models there are; its cells only whole numbers.
TEST(LineCatalogue, ModelSettingsRefuseWhatNoModelTakes) {
  const struct {
    const char* assignment;
    const char* message;  // empty: taken
  } cases[] = {
      {"Model=diffusion", ""},
      {"Model=lumped", ""},
      {"Model=Diffusion", "\"Model\" must be \"lumped\" or \"diffusion\", not \"Diffusion\"."},
      {"Model=", "\"Model\" needs a text."},
      {"DiffusionCells=2000", ""},
      {"DiffusionCells=2001", "\"DiffusionCells\" must be at most 2000."},
      {"DiffusionCells=40.5", "\"DiffusionCells\" must be a whole number."},
      {"ZoneMassTransferCoef2[14]=10", ""},
      {"ZoneMassTransferCoef2[15]=1", "There is no line setting \"ZoneMassTransferCoef2[15]\"."},
  };
  for (const auto& c : cases) {
    LineSettings s;
    s.Model.diffusion.DiffusionCells = 30;
    const LineSettings before = s;
    try {
      ApplyLineSetting(s, c.assignment);
      EXPECT_STREQ(c.message, "") << c.assignment << " was taken";
    } catch (const LineSettingError& e) {
      EXPECT_EQ(std::string(e.what()), c.message) << c.assignment;
      EXPECT_EQ(s.Model.name, before.Model.name) << c.assignment;
      EXPECT_EQ(s.Model.diffusion.DiffusionCells, 30) << c.assignment;
    }
  }
}

// A lumped line at its defaults writes no "Model" object; a diffusion line writes its name
// and only the parameters that differ from their defaults.
TEST(LineCatalogue, ModelObjectHoldsWhatDiffersFromTheDefaults) {
  EXPECT_EQ(FormatLineSettings(LineSettings{}).find("Model"), std::string::npos);
  LineSettings s;
  for (const char* assignment : {"Model=diffusion", "D0_1=3e-4", "ZoneMassTransferCoef1[2]=0.04"}) {
    ApplyLineSetting(s, assignment);
  }
  const std::string text = FormatLineSettings(s);
  const std::string object =
      "  \"BoilingMarginMin\": 0.0,\n  \"Model\": {\n    \"Model\": \"diffusion\",\n    \"D0_1\": 0.0003,\n"
      "    \"ZoneMassTransferCoef1\": {\n      \"2\": 0.04\n    }\n  }\n}\n";
  ASSERT_GE(text.size(), object.size());
  EXPECT_EQ(text.substr(text.size() - object.size()), object);
  const LineSettings read = ParseLineSettings(text);
  EXPECT_EQ(read.Model.name, "diffusion");
  EXPECT_EQ(read.Model.diffusion.D0_1, 3e-4);
  EXPECT_EQ(read.Model.diffusion.ZoneMassTransferCoef1[2], 0.04);
  EXPECT_THROW(ParseLineSettings(R"({"Model": {"Model": "lumpy"}})"), LineSettingError);
  EXPECT_THROW(ParseLineSettings(R"({"Model": {"Cells": 40}})"), LineSettingError);
}

// A diffusion run's parameters for its result file: every parameter, a zone's coefficient
// only where it is set; none for the lumped model.
TEST(LineCatalogue, ModelParameterRowsOfADiffusionRun) {
  ModelChoice choice;
  EXPECT_TRUE(ModelParameterRows(choice).empty());
  choice.name = DiffusionModelName;
  choice.diffusion.ZoneMassTransferCoef2[3] = 0.25;
  const auto rows = ModelParameterRows(choice);
  ASSERT_EQ(rows.size(), 18u);
  EXPECT_EQ(rows[0], std::make_pair(std::string("Model"), std::string("diffusion")));
  EXPECT_EQ(rows[1], std::make_pair(std::string("DiffusionCells"), std::string("40")));
  EXPECT_EQ(rows[2], std::make_pair(std::string("D0_1 (cm2/s)"), std::string("0.000482")));
  EXPECT_EQ(rows[12], std::make_pair(std::string("Xi1"), std::string("0.82")));
  EXPECT_EQ(rows[17], std::make_pair(std::string("ZoneMassTransferCoef2[3] (m/s)"), std::string("0.25")));
}

}  // namespace
}  // namespace tovimar
