// A design search with the diffusion model: its runs take the line settings' model, and a
// skin, which the model predicts, does not put a point outside the limits.
#include <gtest/gtest.h>

#include <string>

#include "study/optimise.h"

namespace tovimar {
namespace {

OptimiseLimit Limit(const std::string& text) {
  std::string error;
  const std::optional<OptimiseLimit> limit = ParseOptimiseLimit(text, error);
  EXPECT_TRUE(limit.has_value()) << text << ": " << error;
  return limit.value_or(OptimiseLimit{});
}

TEST(OptimiseModel, ASkinIsNoLimit) {
  OptimiseProblem problem;
  problem.variables.push_back({"LineSpeed", 0.1, 5});
  problem.objective.name = "LineSpeed";
  problem.objective.sense = OptimiseSense::Maximise;
  problem.limits.push_back(Limit("LineEndResidualSolvent<=2"));
  LineSettings line;
  line.Model.name = std::string(DiffusionModelName);
  const OptimiseEvaluation diffusion = RecheckOptimisePoint(problem, MapEntryTexts{}, line, {1.0}, 1e-3);
  ASSERT_TRUE(diffusion.completed);
  EXPECT_TRUE(diffusion.feasible);
  EXPECT_TRUE(diffusion.warnings.empty());
  ASSERT_EQ(diffusion.limits.size(), 2u);  // the line settings' boiling margin, then the problem's
  EXPECT_NEAR(*diffusion.limits[1].value, 1.0776, 1e-4);  // g/m2 left: below We's 1.390
  // The lumped model's run of the same point ends at We.
  const OptimiseEvaluation lumped = RecheckOptimisePoint(problem, MapEntryTexts{}, LineSettings{}, {1.0}, 1e-3);
  EXPECT_NEAR(*lumped.limits[1].value, 1.390, 1e-3);
}

}  // namespace
}  // namespace tovimar
