// A run of the diffusion model through the whole sequence: its profile, results, result
// file section, the inside of the coating and the names that set it.
#include <gtest/gtest.h>

#include <string>

#include "conditionfile/condition_section.h"
#include "conditionfile/line_file.h"
#include "results/depth_csv.h"
#include "results/output_catalogue.h"
#include "results/profile_csv.h"
#include "run/run_sequence.h"

namespace tovimar {
namespace {

RunOptions Diffusion() {
  RunOptions options;
  options.writeResultFile = false;
  options.model.name = std::string(DiffusionModelName);
  return options;
}

// The default conditions run by the diffusion model: entry 0 holds the coating as given, the
// profile's weights fall, the inside of the coating is filled, and no dry point is found.
TEST(DiffusionRun, FillsTheProfileAndTheInsideOfTheCoating) {
  Simulation sim;
  const RunOutcome outcome = RunSimulation(sim, MapEntryTexts{}, Diffusion());
  ASSERT_TRUE(outcome.completed()) << outcome.message;
  const RunResults results = DeriveResults(sim);
  const LineProfile& line = results.line;
  EXPECT_FALSE(line.corrected);
  EXPECT_TRUE(line.resolved);
  EXPECT_FALSE(results.summary.dryPoint.has_value());
  const ProfilePoint& first = line.points.front();
  EXPECT_EQ(first.weight1, sim.conditions.CoatingWeight0 * sim.conditions.Solvent1Ratio0);
  EXPECT_EQ(first.residual1, 1.0);
  EXPECT_NEAR(first.skinRatio, 1.0, 1e-12);  // uniform at the entrance
  EXPECT_EQ(first.surface1, first.base1);
  const ProfilePoint& end = line.points.back();
  EXPECT_LT(end.weight1, first.weight1);
  EXPECT_LT(end.skinRatio, 0.1);  // the default run forms a skin
  EXPECT_GT(end.base1, end.surface1);
  ASSERT_EQ(results.summary.zones.size(), 2u);
  ASSERT_TRUE(results.summary.zones[1].exitInside.has_value());
  EXPECT_EQ(results.summary.zones[1].exitInside->skinRatio, end.skinRatio);
  EXPECT_EQ(results.check.line.rfind("Grid check: doubling the cells changes the web temperature by at most ", 0), 0u);
  EXPECT_FALSE(results.check.warning.has_value());
  // The skin warning names the zone and the position along the line.
  ASSERT_FALSE(results.judgement.warnings.empty());
  EXPECT_EQ(results.judgement.warnings.front(), "A skin forms in zone 1 from 11.6 m: solvent is trapped below it.");
}

// A coating of one solvent (the other's ratio 0) dries with that solvent alone.
TEST(DiffusionRun, OneSolventCoating) {
  MapEntryTexts entries;
  entries.ForceText("Edit5", "0");  // the solvent-2 ratio
  entries.ForceText("Edit4", "0.82");
  Simulation sim;
  const RunOutcome outcome = RunSimulation(sim, entries, Diffusion());
  ASSERT_TRUE(outcome.completed()) << outcome.message;
  const RunResults results = DeriveResults(sim);
  for (const ProfilePoint& p : results.line.points) {
    ASSERT_EQ(p.weight2, 0.0);
    ASSERT_EQ(p.residual2, 0.0);
    ASSERT_EQ(p.surface2, 0.0);
  }
  EXPECT_LT(results.line.points.back().residual1, 0.1);
}

// The profile CSV of a diffusion run has the inside of the coating and no drying-speed
// correction; the depth CSV has one record per node at each zone exit.
TEST(DiffusionRun, CsvColumnsOfTheModel) {
  Simulation sim;
  ASSERT_TRUE(RunSimulation(sim, MapEntryTexts{}, Diffusion()).completed());
  const RunResults results = DeriveResults(sim);
  const std::string csv = FormatProfileCsv(results);
  const std::string header = csv.substr(0, csv.find("\r\n"));
  EXPECT_EQ(header.find("drying-speed correction"), std::string::npos);
  EXPECT_NE(header.find("solvent-1 weight fraction,solvent-2 weight fraction,solvent-1 surface weight fraction,"
                        "solvent-2 surface weight fraction,solvent-1 base-film weight fraction,"
                        "solvent-2 base-film weight fraction,skin ratio,"),
            std::string::npos);
  const std::vector<DepthProfile> exits = sim.model->ExitProfiles();
  ASSERT_EQ(exits.size(), 2u);
  const std::string depth = FormatDepthCsv(results, exits);
  std::size_t records = 0;
  for (std::size_t at = 0; (at = depth.find("\r\n", at)) != std::string::npos; at += 2) ++records;
  EXPECT_EQ(records, 1 + 2 * (DefaultDiffusionCells + 1u));
  EXPECT_EQ(depth.rfind("position along the line (m),height above the base film (fraction of the thickness),"
                        "solvent-1 weight fraction,solvent-2 weight fraction\r\n30,0,",
                        0),
            0u);
  EXPECT_EQ(exits[1].nodes.back().height, 1.0);
}

// The result file's model section: the name and every parameter, a zone's own coefficient
// only where set; none for the lumped model.
TEST(DiffusionRun, ModelSectionOfTheResultFile) {
  ModelChoice choice;
  EXPECT_EQ(FormatModelSection(choice), "");
  choice.name = std::string(DiffusionModelName);
  choice.diffusion.ZoneMassTransferCoef2[3] = 0.05;
  const std::string text = FormatModelSection(choice);
  EXPECT_EQ(text.rfind("\r\n============\r\nDRYING MODEL\r\n============\r\n\r\n"
                       "    Model                           =  diffusion\r\n"
                       "    DiffusionCells                  =  40\r\n"
                       "    D0_1 (cm2/s)                    =  0.000482\r\n",
                       0),
            0u)
      << text;
  EXPECT_NE(text.find("    ZoneMassTransferCoef2[3] (m/s)  =  0.05\r\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("ZoneMassTransferCoef1"), std::string::npos);
}

// The model's names through --set and the line file: a choice read back as written, the
// default left out of the file, and values outside a name's range refused.
TEST(DiffusionRun, ModelNamesInTheLineSettings) {
  LineSettings line;
  const std::string plain = FormatLineSettings(line);
  EXPECT_EQ(plain.find("\"Model\""), std::string::npos);
  for (const char* set : {"Model=diffusion", "DiffusionCells=60", "D0_1=3e-4", "ZoneMassTransferCoef1[2]=0.04"}) {
    ApplyLineSetting(line, set);
  }
  EXPECT_EQ(line.Model.name, "diffusion");
  EXPECT_EQ(line.Model.diffusion.DiffusionCells, 60);
  EXPECT_EQ(line.Model.diffusion.D0_1, 3e-4);
  EXPECT_EQ(line.Model.diffusion.ZoneMassTransferCoef1[2], 0.04);
  const LineSettings back = ParseLineSettings(FormatLineSettings(line));
  EXPECT_EQ(FormatLineSettings(back), FormatLineSettings(line));
  EXPECT_EQ(back.Model.diffusion.D0_1, 3e-4);
  EXPECT_EQ(back.Model.diffusion.ZoneMassTransferCoef1[2], 0.04);
  const struct {
    const char* set;
    const char* message;
  } refused[] = {
      {"Model=Diffusion", "\"Model\" must be \"lumped\" or \"diffusion\", not \"Diffusion\"."},
      {"DiffusionCells=19", "\"DiffusionCells\" must be at least 20."},
      {"DiffusionCells=40.5", "\"DiffusionCells\" must be a whole number."},
      {"D0_2=0", "\"D0_2\" must be at least 1e-12."},
      {"ZoneMassTransferCoef2[15]=1", "There is no line setting \"ZoneMassTransferCoef2[15]\"."},
  };
  for (const auto& r : refused) {
    LineSettings s = line;
    try {
      ApplyLineSetting(s, r.set);
      ADD_FAILURE() << r.set;
    } catch (const LineFileError& e) {
      EXPECT_EQ(std::string(e.what()), r.message);
    }
    EXPECT_EQ(FormatLineSettings(s), FormatLineSettings(line));
  }
  EXPECT_THROW(ParseLineSettings(R"({"Model": {"D0_3": 1}})"), LineFileError);
}

}  // namespace
}  // namespace tovimar
