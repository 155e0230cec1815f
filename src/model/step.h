#pragma once

#include <cstdint>
#include <string>

#include "model/model.h"

namespace tovimar {

// The web's state at one entry, as carried from step to step: what one profile entry holds
// apart from the surface ratios.
struct WebState {
  double Time = 0;  // s
  double W1 = 0, W2 = 0;  // kg/m2
  double T = 0;           // deg C
  double Fraction1 = 0, Fraction2 = 0;
  double Residual1 = 0, Residual2 = 0;
};

// What the first half of a step formed and the second half needs.
struct StepStart {
  Composition comp;
  double fractionSum = 0;
};

// One step from `at`, in two halves so that the profile march can store the surface ratios
// between them. The first half forms the drying-speed correction and the surface ratios
// (left in s) and checks for a boiling coating: a partial pressure above 760 mmHg throws
// BoilingError while the correction is above 0 and is recorded (the first time in a run)
// in s.boiling where it is 0. `place` is the zone and the step's 1-based number.
StepStart BeginStep(const DryingConditions& c, DryingState& s, const WebState& at,
                    ErrorPlace place);

// The second half: the heat capacity, the stability guard (when `guard`; it throws
// InstabilityError), Gill's step of h seconds and the state of the next entry. W1Initial
// and W2Initial are the weights at the entrance of zone 1 (the residual ratios' basis).
WebState FinishStep(const DryingConditions& c, DryingState& s, const WebState& at,
                    const StepStart& start, double W1Initial, double W2Initial, double h,
                    ErrorPlace place, bool guard);

// "The coating boils in zone 2, step 41: the vapour pressure of solvent-2 is 1220 mmHg at
// 96.3 °C; the model does not hold for a boiling coating."
std::string BoilingMessage(const BoilingRecord& point);

// The warning for a run that went on past a recorded point (empty when none was recorded):
// "The coating's vapour pressure exceeds the atmosphere from zone 3, step 12 (solvent-2,
// 812 mmHg at 101.3 °C): blisters are likely."
std::string BoilingWarning(const BoilingRecord& point);

}  // namespace tovimar
