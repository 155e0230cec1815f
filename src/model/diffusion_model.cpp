// The diffusion model behind the drying-model seam.
#include "model/diffusion_model.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "model/diffusion_parameters.h"
#include "model/model.h"
#include "model/number_text.h"

namespace tovimar {

namespace {

constexpr std::string_view GridCheckWebTemp = "GridCheckWebTemp";
constexpr std::string_view GridCheckContent = "GridCheckContent";

void CheckZoneAndSteps(std::int32_t zone, std::int32_t steps) {
  if (zone < 1 || zone > MaxZones) {
    throw StepCountError("Zone " + std::to_string(zone) + " does not exist; zones are 1 to " +
                         std::to_string(MaxZones) + ".");
  }
  if (steps < 0 || steps > MaxStepsPerZone) {
    throw StepCountError("Zone " + std::to_string(zone) + " needs " + std::to_string(steps) +
                         " steps; a zone can have 0 to " + std::to_string(MaxStepsPerZone) + ".");
  }
}

// A zone's air; a fault names the zone.
DiffusionZone ZoneOf(const DryingConditions& c, const DiffusionModelParameters& p, std::int32_t zone) {
  try {
    return DiffusionZoneFrom(c, p, zone);
  } catch (const ArithmeticError& e) {
    throw ArithmeticError("Arithmetic error in zone " + std::to_string(zone) + ", the zone's air: " + e.what(),
                          {zone, 0});
  }
}

// The grid check's refined run, marched from the conditions alone: the web temperature and
// the mean content (both solvents, % of the solid) at every printed point of every zone.
class GridCheckOfRun final : public ModelCheck {
 public:
  GridCheckOfRun(const DryingConditions& c, const DiffusionModelParameters& p) : cells_(p.DiffusionCells) {
    try {
      const ConditionsThermodynamics thermo(c);
      DiffusionKernel fine(DiffusionInputsFrom(c, p), thermo, DiffusionStartFrom(c),
                           RefinedNumerics(DiffusionNumericsFrom(p)));
      const double interval = DiffusionInterval(c);
      std::vector<DiffusionPoint> points(StepsPerZone);
      for (std::int32_t z = 1; z <= c.ZoneCount; ++z) {
        const std::int32_t steps = c.ZoneStepCount[static_cast<std::size_t>(z)];
        CheckZoneAndSteps(z, steps);
        fine.MarchZone(z, ZoneOf(c, p, z), interval, steps, points);
        for (std::int32_t j = 0; j < steps; ++j) {
          const DiffusionPoint& a = points[static_cast<std::size_t>(j)];
          values_.push_back({a.T, 100 * (a.meanU[0] + a.meanU[1])});
        }
      }
      completed_ = true;
    } catch (const UserError& e) {
      message_ = e.what();
    }
  }

  [[nodiscard]] ModelCheckResult Compare(const Simulation& completed) const override {
    ModelCheckResult check;
    if (!completed_) {
      check.line = "Grid check: the run with twice the cells stopped: " + message_;
      return check;
    }
    const DryingConditions& c = completed.conditions;
    const DryingProfile& p = *completed.profile;
    const double Ws = c.SolidWeight();
    GridCheckResult result;
    std::size_t i = 0;
    for (std::int32_t z = 1; z <= c.ZoneCount && i < values_.size(); ++z) {
      const auto zone = static_cast<std::size_t>(z);
      for (std::int32_t k = 1; k <= c.ZoneStepCount[zone] && i < values_.size(); ++k, ++i) {
        const auto step = static_cast<std::size_t>(k);
        const double content =
            100 * (p.ProfileSolvent1Weight[zone][step] + p.ProfileSolvent2Weight[zone][step]) / Ws;
        result.temperature = std::max(result.temperature, std::abs(p.ProfileTemp[zone][step] - values_[i][0]));
        result.content = std::max(result.content, std::abs(content - values_[i][1]));
      }
    }
    check.completed = true;
    check.line = GridCheckLine(result);
    check.warning = GridCheckWarning(result, cells_);
    check.values = {{GridCheckWebTemp, result.temperature}, {GridCheckContent, result.content}};
    return check;
  }

 private:
  int cells_;
  std::vector<std::array<double, 2>> values_;
  bool completed_ = false;
  std::string message_;
};

class DiffusionModel final : public DryingModel {
 public:
  explicit DiffusionModel(const DiffusionModelParameters& p) : parameters_(p), points_(StepsPerZone) {}

  [[nodiscard]] std::string_view Name() const override { return DiffusionModelName; }

  void PrepareRun(Simulation& sim) override {
    const DryingConditions& c = sim.conditions;
    DryingProfile& p = *sim.profile;
    try {
      thermo_ = std::make_unique<ConditionsThermodynamics>(c);
      const DiffusionStart start = DiffusionStartFrom(c);
      kernel_ = std::make_unique<DiffusionKernel>(DiffusionInputsFrom(c, parameters_), *thermo_, start,
                                                  DiffusionNumericsFrom(parameters_));
      sim.state.TimeIncrement = DiffusionInterval(c);
      sim.state.boiling = BoilingRecord{};
      solidWeight_ = c.SolidWeight();
      initial_ = {c.CoatingWeight0 * c.Solvent1Ratio0, c.CoatingWeight0 * c.Solvent2Ratio0};
    } catch (const ArithmeticError& e) {
      const std::string what = e.what();
      throw ArithmeticError(what.rfind("Arithmetic error", 0) == 0 ? what
                                                                   : "Arithmetic error in the initial state: " + what);
    }
    inside_.assign(MaxZones + 1, {});
    exits_.clear();
    // The entrance holds the weights as given, not as the contents multiply back.
    Store(sim, 1, 0, kernel_->Current(), initial_);
    p.ProfileTime[1][0] = 0;
  }

  void MarchZone(Simulation& sim, std::int32_t zone, std::int32_t steps) override {
    CheckZoneAndSteps(zone, steps);
    const DryingConditions& c = sim.conditions;
    DryingProfile& p = *sim.profile;
    const auto z = static_cast<std::size_t>(zone);
    inside_[z].resize(static_cast<std::size_t>(steps) + 1);
    kernel_->MarchZone(zone, ZoneOf(c, parameters_, zone), sim.state.TimeIncrement, steps, points_);
    for (std::int32_t j = 0; j < steps; ++j) {
      const auto k = static_cast<std::size_t>(j);
      p.ProfileTime[z][k + 1] = p.ProfileTime[z][k] + sim.state.TimeIncrement;
      const DiffusionPoint& at = points_[k];
      Store(sim, zone, j + 1, at, {at.meanU[0] * solidWeight_, at.meanU[1] * solidWeight_});
    }
    DepthProfile exit{zone, steps, std::vector<DepthPoint>(static_cast<std::size_t>(kernel_->Nodes()))};
    kernel_->Profile(exit.nodes);
    exits_.push_back(std::move(exit));
    if (zone < c.ZoneCount) {
      CarryToNextZone(sim, zone, steps);
      inside_[z + 1].assign(1, inside_[z][static_cast<std::size_t>(steps)]);
    }
  }

  [[nodiscard]] std::vector<std::string> RunWarnings(const Simulation&) const override { return {}; }

  [[nodiscard]] std::unique_ptr<ModelCheck> MarchCheck(const DryingConditions& c) const override {
    return std::make_unique<GridCheckOfRun>(c, parameters_);
  }

  [[nodiscard]] std::optional<CoatingInside> Inside(std::int32_t zone, std::int32_t step) const override {
    if (zone < 1 || static_cast<std::size_t>(zone) >= inside_.size()) return std::nullopt;
    const std::vector<CoatingInside>& row = inside_[static_cast<std::size_t>(zone)];
    if (step < 0 || static_cast<std::size_t>(step) >= row.size()) return std::nullopt;
    return row[static_cast<std::size_t>(step)];
  }

  [[nodiscard]] std::vector<DepthProfile> ExitProfiles() const override { return exits_; }

 private:
  // Entry `step` of zone `zone` from the kernel's point and the weights (mean content x Ws), the
  // fractions and residual ratios as the lumped model forms them (an absent solvent's
  // residual ratio is 0), and the inside of the coating.
  void Store(Simulation& sim, std::int32_t zone, std::int32_t step, const DiffusionPoint& at,
             const std::array<double, 2>& weights) {
    DryingProfile& p = *sim.profile;
    const auto z = static_cast<std::size_t>(zone);
    const auto k = static_cast<std::size_t>(step);
    const double W1 = weights[0];
    const double W2 = weights[1];
    const WeightFractions w = CalcWeightFractions(sim.conditions, W1, W2);
    p.ProfileSolvent1Weight[z][k] = W1;
    p.ProfileSolvent2Weight[z][k] = W2;
    p.ProfileTemp[z][k] = at.T;
    p.ProfileSolvent1Fraction[z][k] = w.w1;
    p.ProfileSolvent2Fraction[z][k] = w.w2;
    p.ProfileResidual1[z][k] = initial_[0] > 0 ? W1 / initial_[0] : 0;
    p.ProfileResidual2[z][k] = initial_[1] > 0 ? W2 / initial_[1] : 0;
    if (inside_[z].size() <= k) inside_[z].resize(k + 1);
    inside_[z][k] = CoatingInside{at.surfaceW, at.baseW};
  }

  DiffusionModelParameters parameters_;
  std::unique_ptr<ConditionsThermodynamics> thermo_;
  std::unique_ptr<DiffusionKernel> kernel_;
  std::vector<DiffusionPoint> points_;
  std::vector<std::vector<CoatingInside>> inside_;
  std::vector<DepthProfile> exits_;
  double solidWeight_ = 0;
  std::array<double, 2> initial_{};
};

}  // namespace

const std::vector<CheckQuantity>& DiffusionCheckQuantities() {
  static const std::vector<CheckQuantity> quantities{
      {DiffusionModelName, GridCheckWebTemp, "grid check web temperature", "K"},
      {DiffusionModelName, GridCheckContent, "grid check mean solvent content", "% of solid"},
  };
  return quantities;
}

std::string GridCheckLine(const GridCheckResult& result) {
  return "Grid check: doubling the cells changes the web temperature by at most " +
         ShortNumber(result.temperature, 3) + " K and the mean solvent content by at most " +
         ShortNumber(result.content, 3) + " %.";
}

std::optional<std::string> GridCheckWarning(const GridCheckResult& result, int cells) {
  const bool temperature = result.temperature > GridCheckTempLimit;
  const bool content = result.content > GridCheckContentLimit;
  if (!temperature && !content) return std::nullopt;
  std::string what;
  if (temperature) what = "the web temperature by up to " + ShortNumber(result.temperature, 3) + " K";
  if (content) {
    what += (what.empty() ? "" : " and ") + std::string("the mean solvent content by up to ") +
            ShortNumber(result.content, 3) + " %";
  }
  return "The profile is not yet accurate: doubling the cells changes " + what + ". Try " +
         std::to_string(2 * cells) + " cells (DiffusionCells).";
}

std::unique_ptr<DryingModel> MakeDiffusionModel(const DiffusionModelParameters& parameters) {
  return std::make_unique<DiffusionModel>(parameters);
}

}  // namespace tovimar
