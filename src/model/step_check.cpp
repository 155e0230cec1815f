// The step check: the completed run repeated with half the time step.
#include "model/step_check.h"

#include <algorithm>
#include <cmath>

#include "model/stability.h"
#include "model/memory_march.h"

namespace tovimar {

HalvedRun MarchHalved(const DryingConditions& c) {
  HalvedRun halved;
  try {
    const double h = arith::Div(c.StepLength, c.LineSpeed, "the time increment") / 2;
    std::size_t points = 0;
    for (std::int32_t z = 1; z <= c.ZoneCount; ++z) {
      points += static_cast<std::size_t>(c.ZoneStepCount[static_cast<std::size_t>(z)]);
    }
    halved.points.reserve(points);
    // The guard is left out: half a step that passed it is within the limit.
    MarchLineInMemory(
        c, h, [&c](std::int32_t z) { return 2 * std::int64_t{c.ZoneStepCount[static_cast<std::size_t>(z)]}; },
        false, [&halved](std::int32_t, std::int64_t step, const WebState& at) {
          if (step % 2 == 0) {
            halved.points.push_back({at.T, at.Residual1, at.Residual2});
          }
        });
  } catch (const ArithmeticError& e) {
    halved.message = std::string("Arithmetic error: ") + e.what();
    return halved;
  } catch (const UserError& e) {
    halved.message = e.what();
    return halved;
  }
  halved.completed = true;
  return halved;
}

StepCheckResult CompareHalved(const Simulation& completed, const HalvedRun& halved) {
  if (!halved.completed) {
    return {false, 0, 0, halved.message};
  }
  const DryingConditions& c = completed.conditions;
  const DryingProfile& p = *completed.profile;
  StepCheckResult result;
  std::size_t at = 0;
  for (std::int32_t z = 1; z <= c.ZoneCount; ++z) {
    const std::int32_t steps = c.ZoneStepCount[static_cast<std::size_t>(z)];
    for (std::int32_t k = 1; k <= steps && at < halved.points.size(); ++k, ++at) {
      const auto& [T, r1, r2] = halved.points[at];
      result.maxTempChange = std::max(result.maxTempChange, std::fabs(T - p.ProfileTemp[z][k]));
      result.maxResidualChange =
          std::max({result.maxResidualChange, std::fabs(r1 - p.ProfileResidual1[z][k]),
                    std::fabs(r2 - p.ProfileResidual2[z][k])});
    }
  }
  result.completed = true;
  return result;
}

StepCheckResult StepCheck(const Simulation& completed) {
  return CompareHalved(completed, MarchHalved(completed.conditions));
}

std::string StepCheckLine(const StepCheckResult& result) {
  if (!result.completed) {
    return "Step check: the run with half the Increment of z stopped: " + result.message;
  }
  return "Step check: halving the Increment of z changes the web temperature by at most " +
         ShortNumber(result.maxTempChange, 3) + " K and the residual ratios by at most " +
         ShortNumber(result.maxResidualChange, 3) + ".";
}

std::optional<std::string> StepCheckWarning(const StepCheckResult& result, double stepLength) {
  if (!result.completed || (result.maxTempChange <= StepCheckTempLimit &&
                            result.maxResidualChange <= StepCheckResidualLimit)) {
    return std::nullopt;
  }
  std::string what;
  if (result.maxTempChange > StepCheckTempLimit) {
    what = "the web temperature by up to " + ShortNumber(result.maxTempChange, 3) + " K";
  }
  if (result.maxResidualChange > StepCheckResidualLimit) {
    what += (what.empty() ? "" : " and ") + std::string("the residual ratios by up to ") +
            ShortNumber(result.maxResidualChange, 3);
  }
  return "The profile is not yet accurate: halving the Increment of z changes " + what +
         ". Try an Increment of z of " + ShortNumber(stepLength / 2, 3) + " m.";
}

}  // namespace tovimar
