// One step of the march, shared by the profile march and the step check.
#include "model/step.h"

#include <algorithm>
#include <utility>

#include "model/number_text.h"
#include "model/stability.h"

namespace tovimar {

using arith::Div;
using arith::Finite;

namespace {

// The first solvent whose partial pressure exceeds the atmosphere, or 0.
int BoilingSolvent(const DryingState& s) {
  if (s.PartialPressure1 > TotalPressure) return 1;
  if (s.PartialPressure2 > TotalPressure) return 2;
  return 0;
}

}  // namespace

std::string BoilingMessage(const BoilingRecord& point) {
  return "The coating boils in zone " + std::to_string(point.zone) + ", step " +
         std::to_string(point.step) + ": the vapour pressure of solvent-" +
         std::to_string(point.solvent) + " is " + FixedNumber(point.pressure, 0) + " mmHg at " +
         FixedNumber(point.temperature, 1) + " \u00B0C; the model does not hold for a boiling coating.";
}

std::string BoilingWarning(const BoilingRecord& point) {
  if (!point.found) {
    return {};
  }
  return "The coating's vapour pressure exceeds the atmosphere from zone " +
         std::to_string(point.zone) + ", step " + std::to_string(point.step) + " (solvent-" +
         std::to_string(point.solvent) + ", " + FixedNumber(point.pressure, 0) + " mmHg at " +
         FixedNumber(point.temperature, 1) + " \u00B0C): blisters are likely.";
}

StepStart BeginStep(const DryingConditions& c, DryingState& s, const WebState& at,
                    ErrorPlace place) {
  StepStart start;
  start.fractionSum = Finite(at.Fraction1 + at.Fraction2, "the total solvent fraction");
  const double F = CalcDryingCorrection(c, start.fractionSum);
  s.DryingCorrection1 = F;
  s.DryingCorrection2 = F;

  start.comp = CalcComposition(c, at.W1, at.W2);
  s.SurfaceHumidity1 = CalcSurfaceHumidity1(c, s, at.T, start.comp.Phi1, start.comp.Phi2, start.comp.X1);
  s.SurfaceHumidity2 = CalcSurfaceHumidity2(c, s, at.T, start.comp.Phi1, start.comp.Phi2, start.comp.X2);

  if (const int solvent = BoilingSolvent(s); solvent != 0) [[unlikely]] {
    BoilingRecord point{true, place.zone, place.step, solvent,
                        solvent == 1 ? s.PartialPressure1 : s.PartialPressure2, at.T};
    if (F != 0) {
      throw BoilingError(BoilingMessage(point), place);
    }
    if (!s.boiling.found) {
      s.boiling = point;
    }
  }
  return start;
}

WebState FinishStep(const DryingConditions& c, DryingState& s, const WebState& at,
                    const StepStart& start, double W1Initial, double W2Initial, double h,
                    ErrorPlace place, bool guard) {
  const double Ws = c.SolidWeight();
  s.HeatCapacity = Finite(((at.W1 * c.Solvent1Cp + at.W2 * c.Solvent2Cp) + Ws * c.PolymerCp) +
                              c.BaseFilmWeight * c.BaseFilmCp,
                          "the heat capacity of the web");

  // Only a forward step is judged; the guard never changes the numbers of a step it passes.
  // A web without heat capacity has no temperature rate to linearise (its heat exchange is
  // beyond every bound): the guard does not judge it, and the step's own division by the
  // heat capacity reports it as an arithmetic error.
  if (guard && h > 0 && s.HeatCapacity != 0) {
    const RateLinearisation lin =
        LineariseRates(c, s, place.zone, at.W1, at.W2, at.T, start.comp, start.fractionSum);
    double limit = h;
    bool unstable = false;
    if (!StepIsStable(lin, h)) [[unlikely]] {
      // A limit of 0 is a state that grows by itself (no heat capacity, say): not the step's
      // fault, and the step's own arithmetic reports it.
      limit = StableStepLimit(lin, h);
      unstable = limit > 0;
      limit = unstable ? limit : h;
    }
    // Within a step the drying rates are frozen, so a weight advances exactly as W + h R: a
    // step longer than W / -R empties the solvent, and the coating's composition after it
    // has no meaning (a negative weight, a logarithm of nothing). That is the step's limit
    // as much as the growth of a mode is.
    for (const auto& [W, R] : {std::pair{at.W1, lin.R[0]}, std::pair{at.W2, lin.R[1]}}) {
      if (R < 0 && W + h * R <= 0) [[unlikely]] {
        limit = std::min(limit, W / -R);
        unstable = true;
      }
    }
    if (unstable) [[unlikely]] {
      throw InstabilityError(
          InstabilityMessage(place.zone, place.step, h, limit, SuggestedIncrement(limit, c.LineSpeed)),
          place, h, limit);
    }
  }

  StateVector State{};
  State[1] = at.W1;
  State[2] = at.W2;
  State[3] = at.T;
  RungeKuttaGillStep(c, s, 3, State, place.zone, at.Time, h);

  WebState next;
  next.Time = Finite(at.Time + h, "the time");
  const WeightFractions w = CalcWeightFractions(c, State[1], State[2]);
  next.Residual1 = Div(State[1], W1Initial, "the residual ratio of solvent-1");
  next.Residual2 = Div(State[2], W2Initial, "the residual ratio of solvent-2");
  next.W1 = State[1];
  next.W2 = State[2];
  next.T = State[3];
  next.Fraction1 = w.w1;
  next.Fraction2 = w.w2;
  return next;
}

}  // namespace tovimar
