// Fitting a parameter of the diffusion model: measurements made from a diffusion run give
// its D0_1 back.
#include <gtest/gtest.h>

#include <string>

#include "model/model.h"
#include "results/line_profile.h"
#include "run/run_sequence.h"
#include "study/fit.h"

namespace tovimar {
namespace {

TEST(FitModel, ModelParametersAreFittableAndTheModelsNameIsNot) {
  std::string error;
  const std::optional<FitParameter> d0 = ParseFitParameter("D0_1=1e-5:1e-3", error);
  ASSERT_TRUE(d0.has_value()) << error;
  EXPECT_EQ(d0->entryName, "");
  EXPECT_EQ(d0->caption, "D0_1 (cm2/s)");
  EXPECT_EQ(*d0->lower, 1e-5);
  EXPECT_FALSE(ParseFitParameter("Model", error).has_value());
}

TEST(FitModel, RecoversD0OfSolventOneFromADiffusionRun) {
  LineSettings line;
  line.Model.name = std::string(DiffusionModelName);
  const double truth = 2.5e-4;
  RunOptions options;
  options.writeResultFile = false;
  options.model = line.Model;
  options.model.diffusion.D0_1 = truth;
  Simulation sim;
  ASSERT_TRUE(RunSimulation(sim, MapEntryTexts{}, options).completed());
  const LineProfile profile = ProfileAlongLine(sim);
  MeasuredData data;
  data.columns = {MeasuredQuantity::WebTemp, MeasuredQuantity::Residual1, MeasuredQuantity::Residual2};
  for (int i = 0; i <= 60; i += 2) {
    for (const MeasuredQuantity q : data.columns) {
      data.values.push_back({double(i), q, *ModelValueAt(profile, q, i), static_cast<std::size_t>(i) + 2});
    }
  }
  std::string error;
  FitOptions fit;
  fit.line = line;  // starts from the default D0_1, 4.82e-4
  const FitResult result = FitToMeasurements(MapEntryTexts{}, {*ParseFitParameter("D0_1=1e-5:1e-3", error)}, data, fit);
  ASSERT_TRUE(result.converged()) << result.message;
  EXPECT_EQ(result.values[0].start, 4.82e-4);
  EXPECT_NEAR(result.values[0].value, truth, 0.01 * truth);
  EXPECT_TRUE(FittedEntries(result).empty());  // the line settings hold it, not an entry
}

}  // namespace
}  // namespace tovimar
