#include "model/memory_march.h"

#include <algorithm>
#include <climits>

namespace tovimar {

void MarchLineInMemory(const DryingConditions& c, double h,
                       const std::function<std::int64_t(std::int32_t zone)>& steps, bool guard,
                       const std::function<void(std::int32_t zone, std::int64_t step,
                                                const WebState& state)>& visit) {
  DryingState s{};
  s.TimeIncrement = h;
  WebState at;
  at.W1 = arith::Finite(c.CoatingWeight0 * c.Solvent1Ratio0, "the initial weight of solvent-1");
  at.W2 = arith::Finite(c.CoatingWeight0 * c.Solvent2Ratio0, "the initial weight of solvent-2");
  at.T = c.InitialTemp;
  const WeightFractions w = CalcWeightFractions(c, at.W1, at.W2);
  at.Fraction1 = w.w1;
  at.Fraction2 = w.w2;
  at.Residual1 = arith::Div(at.W1, at.W1, "the initial residual ratio of solvent-1");
  at.Residual2 = arith::Div(at.W2, at.W2, "the initial residual ratio of solvent-2");
  const double W1Initial = at.W1, W2Initial = at.W2;
  for (std::int32_t z = 1; z <= c.ZoneCount; ++z) {
    const auto zone = static_cast<std::size_t>(z);
    const double coef =
        arith::Finite(c.ZoneHeatCoefUpper[zone] * c.Keff, "the effective heat-transfer coefficient");
    s.MassTransferCoef1[zone] = CalcMassTransferCoef(c.AirDiffusivity1, coef);
    s.MassTransferCoef2[zone] = CalcMassTransferCoef(c.AirDiffusivity2, coef);
    const std::int64_t n = steps(z);
    for (std::int64_t k = 1; k <= n; ++k) {
      const ErrorPlace place{z, static_cast<std::int32_t>(std::min<std::int64_t>(k, INT32_MAX))};
      const StepStart start = BeginStep(c, s, at, place);
      at = FinishStep(c, s, at, start, W1Initial, W2Initial, h, place, guard);
      visit(z, k, at);
    }
  }
}

}  // namespace tovimar
