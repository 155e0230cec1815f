// The profile through the coating at a printed point, marched again from the run's
// conditions: the run's own zone-exit profiles (as the depth CSV writes them) to the last
// bit, the run's surface and base-film fractions between, and the points a run lacks refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/depth_at_point.h"
#include "results/depth_csv.h"
#include "results/output_catalogue.h"
#include "run/run_sequence.h"

namespace tovimar {
namespace {

struct DiffusionRunOfDefaults {
  DiffusionRunOfDefaults() {
    RunOptions options;
    options.writeResultFile = false;
    options.model.name = std::string(DiffusionModelName);
    parameters = options.model.diffusion;
    completed = RunSimulation(sim, MapEntryTexts{}, options).completed();
  }
  Simulation sim;
  DiffusionModelParameters parameters;
  bool completed = false;
};

TEST(DepthAtPoint, ZoneExitsAreTheDepthCsvs) {
  DiffusionRunOfDefaults run;
  ASSERT_TRUE(run.completed);
  const DryingConditions& c = run.sim.conditions;
  std::vector<DepthProfile> again;
  for (std::int32_t zone = 1; zone <= c.ZoneCount; ++zone) {
    again.push_back(DepthAtPoint(c, run.parameters, zone, c.ZoneStepCount[static_cast<std::size_t>(zone)]));
  }
  const RunResults results = DeriveResults(run.sim);
  const std::string expected = FormatDepthCsv(results, run.sim.model->ExitProfiles());
  ASSERT_EQ(again.size(), 2u);
  EXPECT_EQ(FormatDepthCsv(results, again), expected);
}

// Inside a zone: the surface node and the base-film node are the run's surface and
// base-film fractions at that point; entry 0 of zone 2 is zone 1's exit, and entry 0 of
// zone 1 the uniform coating as it enters.
TEST(DepthAtPoint, PointsInsideAZoneAreTheRunsPoints) {
  DiffusionRunOfDefaults run;
  ASSERT_TRUE(run.completed);
  const DryingConditions& c = run.sim.conditions;
  const LineProfile line = DeriveResults(run.sim).line;
  for (const auto& [zone, step] : {std::pair{1, 1}, {1, 137}, {2, 0}, {2, 55}}) {
    const DepthProfile depth = DepthAtPoint(c, run.parameters, zone, step);
    EXPECT_EQ(depth.zone, zone);
    EXPECT_EQ(depth.step, step);
    const ProfilePoint& at = line.points[line.zones[static_cast<std::size_t>(zone - 1)].firstPoint +
                                         static_cast<std::size_t>(step)];
    ASSERT_EQ(depth.nodes.size(), DefaultDiffusionCells + 1u);
    EXPECT_EQ(depth.nodes.front().height, 0.0);
    EXPECT_EQ(depth.nodes.back().height, 1.0);
    EXPECT_EQ(depth.nodes.back().w[0], at.surface1) << zone << " " << step;
    EXPECT_EQ(depth.nodes.back().w[1], at.surface2) << zone << " " << step;
    EXPECT_EQ(depth.nodes.front().w[0], at.base1) << zone << " " << step;
    EXPECT_EQ(depth.nodes.front().w[1], at.base2) << zone << " " << step;
  }
  const DepthProfile entrance = DepthAtPoint(c, run.parameters, 1, 0);
  for (const DepthPoint& node : entrance.nodes) {
    ASSERT_EQ(node.w, entrance.nodes.front().w);
  }
  EXPECT_NEAR(entrance.nodes.front().w[0], line.points.front().fraction1, 1e-12);
}

TEST(DepthAtPoint, RefusesAPointTheRunLacks) {
  DiffusionRunOfDefaults run;
  ASSERT_TRUE(run.completed);
  const DryingConditions& c = run.sim.conditions;
  const std::int32_t last = c.ZoneStepCount[1];
  for (const auto& [zone, step] : {std::pair{0, 0}, {3, 0}, {1, -1}, {1, last + 1}}) {
    EXPECT_THROW(static_cast<void>(DepthAtPoint(c, run.parameters, zone, step)), StepCountError) << zone << " " << step;
  }
}

}  // namespace
}  // namespace tovimar
