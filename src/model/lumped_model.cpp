// The lumped model behind the drying-model seam.
#include "model/lumped_model.h"

#include "model/model.h"
#include "model/stable_increment.h"
#include "model/step.h"
#include "model/step_check.h"

namespace tovimar {

namespace {

constexpr std::string_view StepCheckWebTemp = "StepCheckWebTemp";
constexpr std::string_view StepCheckResidual = "StepCheckResidual";

// The halved run, marched from the conditions, compared with the run when it has completed.
class StepCheckOfRun final : public ModelCheck {
 public:
  explicit StepCheckOfRun(HalvedRun halved) : halved_(std::move(halved)) {}
  [[nodiscard]] ModelCheckResult Compare(const Simulation& completed) const override {
    return LumpedCheckResult(CompareHalved(completed, halved_), completed.conditions.StepLength);
  }

 private:
  HalvedRun halved_;
};

class LumpedModel final : public DryingModel {
 public:
  explicit LumpedModel(std::int64_t stableSearchSteps) : stableSearchSteps_(stableSearchSteps) {}
  [[nodiscard]] std::string_view Name() const override { return LumpedModelName; }

  void PrepareRun(Simulation& sim) override { PrepareInitialState(sim); }

  void MarchZone(Simulation& sim, std::int32_t zone, std::int32_t steps) override {
    try {
      tovimar::MarchZone(sim, zone, steps);
    } catch (const InstabilityError& e) {
      // The increment the message names is checked over the whole line first.
      throw InstabilityError(
          UnstableRunMessage(sim.conditions, e.place().zone, e.place().step, e.stepTime(), e.limit(),
                             stableSearchSteps_),
          e.place(), e.stepTime(), e.limit());
    }
    if (zone < sim.conditions.ZoneCount) {
      CarryToNextZone(sim, zone, steps);
    }
  }

  [[nodiscard]] std::vector<std::string> RunWarnings(const Simulation& sim) const override {
    if (sim.state.boiling.found) {
      return {BoilingWarning(sim.state.boiling)};
    }
    return {};
  }

  [[nodiscard]] std::unique_ptr<ModelCheck> MarchCheck(const DryingConditions& c) const override {
    return std::make_unique<StepCheckOfRun>(MarchHalved(c));
  }

  [[nodiscard]] bool AppliesDryingCorrection() const override { return true; }

 private:
  std::int64_t stableSearchSteps_;
};

}  // namespace

const std::vector<CheckQuantity>& LumpedCheckQuantities() {
  static const std::vector<CheckQuantity> quantities{
      {LumpedModelName, StepCheckWebTemp, "step check web temperature", "K"},
      {LumpedModelName, StepCheckResidual, "step check residual ratio", "-"},
  };
  return quantities;
}

ModelCheckResult LumpedCheckResult(const StepCheckResult& result, double stepLength) {
  ModelCheckResult check;
  check.completed = result.completed;
  check.line = StepCheckLine(result);
  check.warning = StepCheckWarning(result, stepLength);
  if (result.completed) {
    check.values = {{StepCheckWebTemp, result.maxTempChange},
                    {StepCheckResidual, result.maxResidualChange}};
  }
  return check;
}

std::unique_ptr<DryingModel> MakeLumpedModel(std::int64_t stableSearchSteps) {
  return std::make_unique<LumpedModel>(stableSearchSteps);
}

}  // namespace tovimar
