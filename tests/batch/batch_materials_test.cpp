// Materials picked by name on the command line reach the result file; a data file's fixed
// constants that are not loaded are named.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "batch_process.h"
#include "conditionfile/material_library.h"

namespace tovimar {
namespace {

using test_support::BatchFinished;
using test_support::FileBytes;
using test_support::ScratchDir;
using test_support::StartBatch;

// The number after the "=" of the result file's line that starts with `label` (after its indent).
double ValueOf(const std::string& result, const std::string& label) {
  const std::size_t at = result.find("    " + label);
  if (at == std::string::npos) throw std::runtime_error("no line " + label);
  return std::stod(result.substr(result.find('=', at) + 1));
}

// A scratch directory that is also the user's data directory, so that no user library counts.
struct Scratch : ScratchDir {
  Scratch() { ::setenv("XDG_DATA_HOME", path().c_str(), 1); }
  ~Scratch() { ::unsetenv("XDG_DATA_HOME"); }
};

TEST(BatchMaterials, EverySolventPickedByNameBoilsAtItsBoilingPointInTheResultFile) {
  Scratch dir;
  const MaterialLibrary library = LoadMaterialLibrary();
  for (const Material& solvent : library.solvents) {
    if (!solvent.MissingForRun().empty()) continue;
    SCOPED_TRACE(solvent.key);
    const BatchFinished run = StartBatch(dir, {"--set", "Solvent1=" + solvent.key, "--set", "Solvent2=toluene",
                                               "-o", "r.txt"});
    const std::string result = FileBytes(dir.File("r.txt"));
    ASSERT_FALSE(result.empty()) << run.err;
    const double a = ValueOf(result, "Vapor Pressure Parameter A of Solvent-1");
    const double b = ValueOf(result, "Vapor Pressure Parameter B of Solvent-1");
    const double c = ValueOf(result, "Vapor Pressure Parameter C of Solvent-1");
    EXPECT_NEAR(AntoineTemperature(a, b, c, 760), *solvent.Value(NormalBoilingPoint), 0.5);
    EXPECT_NEAR(ValueOf(result, "Molecular Weight of Solvent-1"), *solvent.Value(MolarMass), 0.005);
    EXPECT_NEAR(ValueOf(result, "Density of Solvent-1"), *solvent.Value(SolventDensity), 0.0005);
    EXPECT_NEAR(ValueOf(result, "Heat of Vaporization of Solvent-1"), *solvent.Value(HeatOfVaporization), 0.005);
    EXPECT_NEAR(AntoineTemperature(ValueOf(result, "Vapor Pressure Parameter A of Solvent-2"),
                                   ValueOf(result, "Vapor Pressure Parameter B of Solvent-2"),
                                   ValueOf(result, "Vapor Pressure Parameter C of Solvent-2"), 760),
                110.63, 0.5);
  }
}

TEST(BatchMaterials, ALaterSetOfOneFieldOverridesThePickedMaterial) {
  Scratch dir;
  const BatchFinished run = StartBatch(dir, {"--set", "Solvent1=ethyl-acetate", "--set", "AntoineA1=7.1", "-o", "r.txt"});
  const std::string result = FileBytes(dir.File("r.txt"));
  EXPECT_EQ(ValueOf(result, "Vapor Pressure Parameter A of Solvent-1"), 7.1);
  EXPECT_EQ(ValueOf(result, "Vapor Pressure Parameter B of Solvent-1"), 1195.13);
}

TEST(BatchMaterials, RefusedMaterialsStopAtInputAndTheListNamesThem) {
  Scratch dir;
  const BatchFinished unknown = StartBatch(dir, {"--set", "Solvent2=butter"});
  EXPECT_EQ(unknown.status, 3);
  EXPECT_EQ(unknown.err, "tovimar-batch: The materials library has no solvent \"butter\" (tovimar-batch "
                         "--list-materials lists them).\n");
  const BatchFinished list = StartBatch(dir, {"--list-materials"});
  EXPECT_EQ(list.status, 0);
  EXPECT_NE(list.out.find("\nethyl-acetate\tEthyl acetate\t77.11\t\n"), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("\npropylene-glycol-methyl-ether-acetate\tPropylene glycol methyl ether acetate "
                          "(estimated properties)\t146\t\n"),
            std::string::npos);
  // A user's solvent lacking values is listed with what it lacks, and refused for a run.
  std::filesystem::create_directories(dir.path() / "tovimar");
  test_support::PutFileBytes(dir.File("tovimar/materials.json"),
                             R"({"format": "tovimar-materials", "solvents": {"half-known": {"name": "Half known", )"
                             R"("molarMass": {"value": 132.159}, "normalBoilingPoint": {"value": 146}}}})");
  EXPECT_NE(StartBatch(dir, {"--list-materials"})
                .out.find("\nhalf-known\tHalf known\t146\tcannot be used: no Antoine constant A, Antoine constant "
                          "B, Antoine constant C, heat of vaporization, specific heat, density, diffusivity in air\n"),
            std::string::npos);
  const BatchFinished refused = StartBatch(dir, {"--set", "Solvent1=half-known"});
  EXPECT_EQ(refused.status, 3);
  EXPECT_NE(refused.err.find("\"half-known\" cannot be used for Solvent-1"), std::string::npos) << refused.err;
  EXPECT_NE(list.out.find("# Polymers: key\tname\tuse\npoly-vinyl-acetate\tPoly(vinyl acetate)\t\n"), std::string::npos);
}

TEST(BatchMaterials, ADataFilesFixedConstantsThatAreNotLoadedAreNamed) {
  Scratch dir;
  ASSERT_EQ(StartBatch(dir, {"--set", "AntoineA1=7.0", "--set", "HeatOfVaporization1=500", "--write-data", "o.txt"}).status, 0);
  const BatchFinished run = StartBatch(dir, {"o.txt", "-o", "r.txt"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.err.find("tovimar-batch: Warning: the data file's Vapor Pressure Parameter A of Solvent-1 (7.0) "
                         "differs from the one in use (6.38469); choose the solvent to use other constants.\n"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("Heat of Vaporization of Solvent-1 (500) differs from the one in use (460.0)"), std::string::npos);
  // Given on the command line as well, the file's values are the ones in use: nothing to say.
  const BatchFinished same = StartBatch(dir, {"o.txt", "--set", "AntoineA1=7", "--set", "HeatOfVaporization1=500", "-o", "r.txt"});
  EXPECT_EQ(same.err.find("Warning"), std::string::npos) << same.err;
}

TEST(BatchMaterials, ALineFileNamingAMaterialRepeatsIt) {
  Scratch dir;
  test_support::PutFileBytes(dir.File("line.json"), "{\"Solvent2\": \"n-propyl-acetate\", \"LEL2\": 1.5}\n");
  const BatchFinished run = StartBatch(dir, {"--line", "line.json", "-o", "r.txt"});
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string result = FileBytes(dir.File("r.txt"));
  EXPECT_EQ(ValueOf(result, "Vapor Pressure Parameter A of Solvent-2"), 6.93058);
  EXPECT_EQ(ValueOf(result, "Molecular Weight of Solvent-2"), 102.13);
}

// A value changed after the pick goes to the line file with the name and comes back with it.
TEST(BatchMaterials, ALineFileRepeatsAChangedValueOfANamedMaterial) {
  Scratch dir;
  const BatchFinished write = StartBatch(
      dir, {"--set", "Solvent1=toluene", "--set", "HeatOfVaporization1=400", "--write-line", "l.json"});
  ASSERT_EQ(write.status, 0) << write.err;
  const std::string json = FileBytes(dir.File("l.json"));
  EXPECT_NE(json.find("\"Solvent1\": \"toluene\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"MaterialOverrides\": {\n    \"HeatOfVaporization1\": 400.0\n  }"), std::string::npos) << json;
  const BatchFinished run = StartBatch(dir, {"--line", "l.json", "-o", "r.txt"});
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string result = FileBytes(dir.File("r.txt"));
  EXPECT_EQ(ValueOf(result, "Heat of Vaporization of Solvent-1"), 400);
  EXPECT_EQ(ValueOf(result, "Vapor Pressure Parameter A of Solvent-1"), 6.92553);
}

// A design's material column runs as --set of the material does.
TEST(BatchMaterials, ADesignsMaterialColumnIsTheSingleRunOfThePick) {
  Scratch dir;
  test_support::PutFileBytes(dir.File("d.csv"), "Solvent1,Polymer\nethyl-acetate,polystyrene\n");
  const BatchFinished design = StartBatch(dir, {"--design", "d.csv", "--no-header"});
  ASSERT_EQ(design.status, 0) << design.err;
  const BatchFinished single = StartBatch(dir, {"--set", "Solvent1=ethyl-acetate", "--set", "Polymer=polystyrene",
                                                "--summary", "-", "-o", "r.txt"});
  const std::string record = single.out.substr(single.out.find('\n') + std::string("\n1,").size());
  EXPECT_EQ(design.out, "ethyl-acetate,polystyrene," + record);
}

}  // namespace
}  // namespace tovimar
