#include "conditionfile/material_library.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "conditionfile/line_file.h"
#include "conditionfile/material_choice.h"
#include "input/entry_texts.h"
#include "input/field_catalogue.h"
#include "input/line_catalogue.h"
#include "input/number_parse.h"
#include "support/scratch_dir.h"

namespace tovimar {
namespace {

using test_support::ScratchDir;

// The user's library lives in a scratch XDG_DATA_HOME for the length of a test.
class UserData {
 public:
  UserData() { ::setenv("XDG_DATA_HOME", dir_.path().c_str(), 1); }
  ~UserData() { ::unsetenv("XDG_DATA_HOME"); }
  [[nodiscard]] const ScratchDir& dir() const { return dir_; }

 private:
  ScratchDir dir_;
};

TEST(MaterialLibrary, EverySolventsAntoineConstantsBoilAtItsBoilingPointInsideTheirRange) {
  UserData user;
  const MaterialLibrary library = LoadMaterialLibrary();
  int usable = 0;
  for (const Material& s : library.solvents) {
    SCOPED_TRACE(s.key);
    if (!s.MissingForRun().empty()) continue;
    ++usable;
    ASSERT_TRUE(s.Value(NormalBoilingPoint) && s.Value(AntoineTMin) && s.Value(AntoineTMax));
    const double t = AntoineTemperature(*s.Value(AntoineA), *s.Value(AntoineB), *s.Value(AntoineC), 760);
    EXPECT_NEAR(t, *s.Value(NormalBoilingPoint), 0.5);
    EXPECT_GE(t, *s.Value(AntoineTMin));
    EXPECT_LE(t, *s.Value(AntoineTMax));
  }
  EXPECT_EQ(usable, 16);
  EXPECT_EQ(library.polymers.size(), 5U);
}

// Each refused library, with the words its message must hold.
TEST(MaterialLibrary, RefusesContentThatIsNotAMaterial) {
  const std::string head = R"({"format": "tovimar-materials", "solvents": {"x": {"name": "X", )";
  const struct {
    std::string json;
    std::string says;
  } cases[] = {
      {"[1]", "is not a JSON object"},
      {R"({"format": "other"})", "its \"format\" is not"},
      {R"({"format": "tovimar-materials", "solvents": {"x": {"density": {"value": 1}}}})", "\"x\": no name"},
      {head + R"("colour": 1}}})", "unknown member \"colour\""},
      {head + R"("density": {"value": 0}}}})", "density (0) is not a finite number above 0"},
      {head + R"("density": {"value": 5.5}}}})", "density (5.5) is not a finite number above 0 and at most 5"},
      {head + R"("density": {"value": "1"}}}})", "density is not a number"},
      {head + R"("density": 1}}})", "density has no \"value\""},
      {head + R"("antoine": {"A": 7}}}})", "antoine needs A, B and C"},
      {head + R"("antoine": {"A": 7, "B": 1200, "C": 220, "tMinC": 90, "tMaxC": 20}}}})",
       "tMinC is not below tMaxC"},
      {head + R"("antoine": {"A": 7.00871, "B": 1195.13, "C": 212.47}, "normalBoilingPoint": {"value": 78}}}})",
       "boil at 77.06 C, not within 0.5 K of the normal boiling point 78 C"},
      {head + R"("antoine": {"A": 7.00871, "B": 1195.13, "C": 212.47, "tMinC": 80, "tMaxC": 99},)"
              R"( "normalBoilingPoint": {"value": 77.11}}}})",
       "outside the Antoine constants' range"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    MaterialLibrary library;
    try {
      ParseMaterials(c.json, "lib.json", library);
      ADD_FAILURE() << "accepted";
    } catch (const MaterialLibraryError& e) {
      EXPECT_NE(std::string(e.what()).find("\"lib.json\" is refused"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
    }
    EXPECT_TRUE(library.solvents.empty());
  }
}

TEST(MaterialLibrary, UserMaterialIsAddedCheckedAndReplacesTheShippedOneOfItsKey) {
  UserData user;
  Material mine{MaterialKind::Solvent, "toluene", "My toluene", std::vector<std::optional<double>>(12), false, {}, {}};
  mine.values[MolarMass] = 92.14;
  mine.values[AntoineA] = 6.95464;
  mine.values[AntoineB] = 1344.8;
  mine.values[AntoineC] = 219.482;
  mine.values[HeatOfVaporization] = 398;
  mine.values[SolventSpecificHeat] = 1.8;
  mine.values[SolventDensity] = 0.866;
  mine.values[DiffusivityInAir] = 8.49e-6;
  AddUserMaterial(mine);
  MaterialLibrary library = LoadMaterialLibrary();
  const Material* read = library.Find(MaterialKind::Solvent, "toluene");
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->name, "My toluene");
  EXPECT_TRUE(read->fromUser);
  EXPECT_EQ(read->Value(HeatOfVaporization), 398);
  EXPECT_FALSE(read->Value(LowerExplosiveLimit).has_value());

  mine.key = "bad";
  mine.values[SolventDensity] = -1;
  EXPECT_THROW(AddUserMaterial(mine), MaterialLibraryError);
  EXPECT_EQ(LoadMaterialLibrary().Find(MaterialKind::Solvent, "bad"), nullptr);
}

TEST(MaterialChoice, ASolventSetsItsEightConstantsAndPropertiesAsShortestTexts) {
  UserData user;
  const MaterialAssignment a = AssignmentOf(LoadMaterialLibrary(), MaterialSlot::Solvent1, "ethyl-acetate");
  const std::vector<std::pair<std::string, std::string>> expected{
      {"Edit224", "7.00871"}, {"Edit225", "1195.13"}, {"Edit226", "212.47"}, {"Edit222", "404.1"},
      {"Edit221", "1.936"},   {"Edit227", "0.8995"},  {"Edit228", "88.106"}, {"Edit223", "8.594e-06"}};
  EXPECT_EQ(a.entries, expected);
  EXPECT_EQ(a.lowerExplosiveLimit, 2.0);
  EXPECT_TRUE(a.kept.empty());
}

TEST(MaterialChoice, WhatTheLibraryLacksIsKeptOrRefused) {
  UserData user;
  const MaterialLibrary library = LoadMaterialLibrary();
  const MaterialAssignment polystyrene = AssignmentOf(library, MaterialSlot::Polymer, "polystyrene");
  EXPECT_EQ(polystyrene.entries, (std::vector<std::pair<std::string, std::string>>{{"Edit212", "1.05"}}));
  EXPECT_EQ(polystyrene.kept.front(),
            "polystyrene has no specific heat in the materials library: Specific Heat of Polymer keeps the value in use.");
  EXPECT_EQ(AssignmentOf(library, MaterialSlot::Solvent2, "water").kept,
            std::vector<std::string>{"water has no lower explosive limit in the materials library: the LEL of "
                                     "Solvent-2 keeps the value in use."});
  // A user's solvent known only by its molar mass and boiling point cannot be run.
  Material partial{MaterialKind::Solvent, "half-known", "Half known", std::vector<std::optional<double>>(12), false,
                   {}, {}};
  partial.values[MolarMass] = 132.159;
  partial.values[NormalBoilingPoint] = 146;
  AddUserMaterial(partial);
  try {
    (void)AssignmentOf(LoadMaterialLibrary(), MaterialSlot::Solvent1, "half-known");
    ADD_FAILURE();
  } catch (const MaterialLibraryError& e) {
    EXPECT_STREQ(e.what(),
                 "The solvent \"half-known\" cannot be used for Solvent-1: the materials library has no Antoine "
                 "constant A, Antoine constant B, Antoine constant C, heat of vaporization, specific heat, density, "
                 "diffusivity in air for it.");
  }
  EXPECT_THROW((void)AssignmentOf(library, MaterialSlot::Polymer, "toluene"), MaterialLibraryError);
}

// PGMEA's estimated values are picked like measured ones.
TEST(MaterialChoice, TheEstimatedSolventIsPickedWithItsValues) {
  UserData user;
  const MaterialAssignment a =
      AssignmentOf(LoadMaterialLibrary(), MaterialSlot::Solvent1, "propylene-glycol-methyl-ether-acetate");
  const std::vector<std::pair<std::string, std::string>> expected{
      {"Edit224", "7.3817"}, {"Edit225", "1611.211"}, {"Edit226", "212.106"}, {"Edit222", "366.4"},
      {"Edit221", "1.924"},  {"Edit227", "0.968"},    {"Edit228", "132.159"}, {"Edit223", "6.999e-06"}};
  EXPECT_EQ(a.entries, expected);
  EXPECT_EQ(a.lowerExplosiveLimit, 1.5);
  EXPECT_TRUE(a.kept.empty());
}

TEST(MaterialChoice, DataFileConstantsThatDifferAreNamedAndTheirSolventToo) {
  UserData user;
  const MaterialLibrary library = LoadMaterialLibrary();
  const MapEntryTexts entries;  // the defaults are in use
  EXPECT_EQ(KeptEntryWarnings({{"Edit224", "7.0"}, {"Edit225", "916.010"}}, entries, &library),
            std::vector<std::string>{"Warning: the data file's Vapor Pressure Parameter A of Solvent-1 (7.0) differs "
                                     "from the one in use (6.38469); choose the solvent to use other constants."});
  EXPECT_EQ(KeptEntryWarnings({{"Edit232", "398.00"}}, entries, &library), std::vector<std::string>{});
  const std::vector<std::string> toluene =
      KeptEntryWarnings({{"Edit234", "6.925530"}, {"Edit235", "1327.620"}, {"Edit236", "217.625"}}, entries, &library);
  ASSERT_EQ(toluene.size(), 3U);
  EXPECT_EQ(toluene[2],
            "Warning: the data file's Vapor Pressure Parameter C of Solvent-2 (217.625) differs from the one in use "
            "(219.482); choose the solvent to use other constants: the data file's vapour-pressure constants of "
            "Solvent-2 are those of Toluene (library key toluene).");
}

TEST(MaterialChoice, TheLineSettingsRecordAPickedMaterialWhileTheEntriesHoldIt) {
  UserData user;
  const MaterialLibrary library = LoadMaterialLibrary();
  MapEntryTexts entries;
  LineSettings line;
  EXPECT_EQ(FormatLineSettings(line).find("Solvent1"), std::string::npos);
  (void)ApplyMaterial(library, MaterialSlot::Solvent1, "ethyl-acetate", entries, line);
  (void)ApplyMaterial(library, MaterialSlot::Polymer, "polystyrene", entries, line);
  EXPECT_EQ(line.Solvent1, "ethyl-acetate");
  const std::string json = FormatLineSettings(line);
  EXPECT_NE(json.find("\"Solvent1\": \"ethyl-acetate\""), std::string::npos) << json;
  EXPECT_EQ(ParseLineSettings(json).Polymer, "polystyrene");

  // A line file naming the material gives its values back to fresh entries.
  MapEntryTexts fresh;
  ApplyRecordedMaterials(library, fresh, ParseLineSettings(json));
  EXPECT_EQ(fresh.Text("Edit224"), "7.00871");
  EXPECT_EQ(fresh.Text("Edit212"), "1.05");

}

// Picks and --set steps in order, and the line settings, chi entries and messages they leave.
TEST(MaterialChoice, APickSetsTheFreeVolumeAndPairValuesTheLibraryHolds) {
  UserData user;
  const MaterialLibrary library = LoadMaterialLibrary();
  const std::string noPair = " in the materials library: Xi1, D0_1, ActivationEnergy1 keep the values in use.";
  const struct {
    const char* name;
    std::vector<std::string> steps;  // "Solvent1=KEY" picks; any other is a line setting
    std::vector<std::pair<std::string, double>> settings;
    std::vector<std::pair<std::string, std::string>> entries;  // field name, text
    std::vector<std::string> kept;
  } cases[] = {
      {"toluene, then polystyrene",
       {"Solvent1=toluene", "Polymer=polystyrene"},
       {{"HoleVolume1", 0.917}, {"K1Gamma1", 0.00145}, {"K2MinusTg1", -86.32}, {"HoleVolumePolymer", 0.85},
        {"K1GammaPolymer", 0.000582}, {"K2MinusTgPolymer", -327}, {"Xi1", 0.58}, {"D0_1", 0.000482},
        {"ActivationEnergy1", 0}, {"Xi2", 0.82}},
       {{"Chi1p", "0.354"}, {"Chi2p", "0.5"}},
       {}},
      {"polystyrene first, toluene in slot 2; a later --set wins",
       {"Xi1=0.7", "Polymer=polystyrene", "Solvent2=toluene", "D0_2=0.001"},
       {{"Xi2", 0.58}, {"D0_2", 0.001}, {"HoleVolume2", 0.917}, {"HoleVolumePolymer", 0.85}, {"Xi1", 0.7}},
       {{"Chi2p", "0.354"}, {"Chi1p", "0.01"}},
       {}},
      {"without data the values in use stay",
       {"HoleVolume1=0.5", "Xi1=0.7", "Polymer=poly-vinyl-acetate", "Solvent1=methyl-ethyl-ketone"},
       {{"HoleVolume1", 0.5}, {"K1Gamma1", 0.00145}, {"Xi1", 0.7}, {"HoleVolumePolymer", 0.728}},
       {{"Chi1p", "0.43"}},
       {"methyl-ethyl-ketone has no free-volume parameter for Solvent-1 in the materials library: HoleVolume1, "
        "K1Gamma1, K2MinusTg1 keep the values in use.",
        "methyl-ethyl-ketone with poly-vinyl-acetate has no pair value" + noPair}},
      {"a polymer without free-volume data",
       {"Solvent1=acetone", "Polymer=poly-methyl-methacrylate"},
       {{"HoleVolumePolymer", 0.728}, {"Xi1", 0.82}},
       {{"Chi1p", "0.48"}},
       {"acetone has no free-volume parameter for Solvent-1 in the materials library: HoleVolume1, K1Gamma1, "
        "K2MinusTg1 keep the values in use.",
        "poly-methyl-methacrylate has no free-volume parameter for Polymer in the materials library: "
        "HoleVolumePolymer, K1GammaPolymer, K2MinusTgPolymer keep the values in use.",
        "acetone with poly-methyl-methacrylate has no pair value" + noPair}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MapEntryTexts entries;
    LineSettings line;
    std::vector<std::string> kept;
    for (const std::string& step : c.steps) {
      const std::size_t equals = step.find('=');
      if (const auto slot = FindMaterialSlot(step.substr(0, equals))) {
        for (std::string& k : ApplyMaterial(library, *slot, step.substr(equals + 1), entries, line)) {
          // The polymers' entries the library lacks are another test's.
          if (k.find("Polymer keeps") == std::string::npos) kept.push_back(std::move(k));
        }
      } else {
        ApplyLineSetting(line, step);
      }
    }
    for (const auto& [name, value] : c.settings) EXPECT_EQ(FindLineSetting(name)->Number(line), value) << name;
    for (const auto& [name, text] : c.entries) EXPECT_EQ(entries.Text(FindField(name)->entryName), text) << name;
    EXPECT_EQ(kept, c.kept);
  }
}

// The brief's round trip: a later --set of a picked material's value goes to the line file
// with the name, and reading the file back gives the same entries (a text that is not a
// number's shortest form stays a text).
TEST(MaterialChoice, TheLineFileKeepsTheNameAndTheChangedValues) {
  UserData user;
  const MaterialLibrary library = LoadMaterialLibrary();
  MapEntryTexts entries;
  LineSettings line;
  (void)ApplyMaterial(library, MaterialSlot::Solvent1, "toluene", entries, line);
  (void)ApplyMaterial(library, MaterialSlot::Polymer, "polystyrene", entries, line);
  entries.ForceText(FindField("HeatOfVaporization1")->entryName, "400");
  entries.ForceText(FindField("PolymerDensity")->entryName, "1.050");  // the same number
  entries.ForceText(FindField("Solvent1Density")->entryName, "0.90");
  RecordMaterialOverrides(library, entries, line);
  const std::string json = FormatLineSettings(line);
  EXPECT_NE(json.find("  \"Solvent1\": \"toluene\",\n"), std::string::npos) << json;
  EXPECT_NE(json.find("  \"MaterialOverrides\": {\n    \"HeatOfVaporization1\": 400.0,\n"
                      "    \"Solvent1Density\": \"0.90\"\n  }\n"),
            std::string::npos)
      << json;
  const LineSettings read = ParseLineSettings(json);
  EXPECT_EQ(read.Solvent1, "toluene");
  EXPECT_EQ(read.MaterialOverrides, line.MaterialOverrides);
  MapEntryTexts fresh;
  ApplyRecordedMaterials(library, fresh, read);
  for (const MaterialSlotInfo& info : MaterialSlots()) {
    for (const MaterialEntry& e : MaterialEntries(info.slot)) {
      EXPECT_EQ(ParseNumber(fresh.Text(e.entryName)), ParseNumber(entries.Text(e.entryName))) << e.entryName;
    }
  }
  EXPECT_EQ(fresh.Text(FindField("HeatOfVaporization1")->entryName), "400");
  EXPECT_EQ(fresh.Text(FindField("Solvent1Density")->entryName), "0.90");
  EXPECT_EQ(fresh.Text(FindField("AntoineA1")->entryName), "6.92553");
  // Picking again starts from the library's values.
  (void)ApplyMaterial(library, MaterialSlot::Solvent1, "toluene", fresh, line);
  EXPECT_TRUE(line.MaterialOverrides.empty());
}

}  // namespace
}  // namespace tovimar
