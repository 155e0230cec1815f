// The step check: the completed run repeated with half the time step.
#include "model/step_check.h"

#include <algorithm>
#include <cmath>

#include "model/stability.h"
#include "model/step.h"

namespace tovimar {

StepCheckResult StepCheck(const Simulation& completed) {
  const DryingConditions& c = completed.conditions;
  const DryingProfile& p = *completed.profile;
  // The run's state holds the mass-transfer coefficient of every active zone.
  DryingState s = completed.state;
  s.boiling = BoilingRecord{};
  const double h = completed.state.TimeIncrement / 2;
  const double W1Initial = p.ProfileSolvent1Weight[1][0];
  const double W2Initial = p.ProfileSolvent2Weight[1][0];

  WebState at;
  at.Time = p.ProfileTime[1][0];
  at.W1 = W1Initial;
  at.W2 = W2Initial;
  at.T = p.ProfileTemp[1][0];
  at.Fraction1 = p.ProfileSolvent1Fraction[1][0];
  at.Fraction2 = p.ProfileSolvent2Fraction[1][0];
  at.Residual1 = p.ProfileResidual1[1][0];
  at.Residual2 = p.ProfileResidual2[1][0];

  StepCheckResult result;
  try {
    for (std::int32_t z = 1; z <= c.ZoneCount; ++z) {
      const std::int32_t steps = c.ZoneStepCount[static_cast<std::size_t>(z)];
      for (std::int32_t j = 0; j < 2 * steps; ++j) {
        const ErrorPlace place{z, j + 1};
        const StepStart start = BeginStep(c, s, at, place);
        // The guard is left out: half a step that passed it is within the limit.
        at = FinishStep(c, s, at, start, W1Initial, W2Initial, h, place, false);
        if (j % 2 == 1) {
          const std::int32_t k = (j + 1) / 2;
          result.maxTempChange = std::max(result.maxTempChange, std::fabs(at.T - p.ProfileTemp[z][k]));
          result.maxResidualChange =
              std::max({result.maxResidualChange, std::fabs(at.Residual1 - p.ProfileResidual1[z][k]),
                        std::fabs(at.Residual2 - p.ProfileResidual2[z][k])});
        }
      }
    }
  } catch (const ArithmeticError& e) {
    return {false, 0, 0, std::string("Arithmetic error: ") + e.what()};
  } catch (const UserError& e) {
    return {false, 0, 0, e.what()};
  }
  result.completed = true;
  return result;
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
