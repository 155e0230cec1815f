#pragma once

#include <cstdint>
#include <string>

#include "model/model.h"
#include "model/number_text.h"

namespace tovimar {

// The rates and their partial derivatives with respect to (W1, W2, T) at the start of a
// step, for the state whose frozen quantities (drying-speed correction, surface ratios,
// partial pressures, heat capacity) a step has just formed in `s`. Indices 0..2 stand for
// solvent-1 weight, solvent-2 weight and web temperature.
struct RateLinearisation {
  double R[3] = {};       // the rates
  double dR[3][3] = {};   // dR[i][j] = d rate i / d state j
  double a = 0;           // (upper + lower heat coefficient) / heat capacity, 1/s
  double da[2] = {};      // da / dW1, da / dW2
};

// Analytic partial derivatives (cheaper than finite differences: no further vapour
// pressures, activities or logarithms). `fractionSum` is the total solvent fraction that the
// step's drying-speed correction was formed from.
RateLinearisation LineariseRates(const DryingConditions& c, const DryingState& s,
                                 std::int32_t zone, double W1, double W2, double T,
                                 const Composition& comp, double fractionSum);

// Spectral-radius test of the linearised step map for a step of h seconds: true when no
// mode of the step grows. See stability.cpp for why this is the method's limit.
bool StepIsStable(const RateLinearisation& lin, double h);

// The largest step up to h that StepIsStable accepts, to about 1e-6 relative; 0 when even
// a vanishing step grows (a state that grows by itself, which the guard does not judge).
double StableStepLimit(const RateLinearisation& lin, double h);

// `value` rounded down to two significant digits (a positive number; otherwise 0).
double RoundDownTwoDigits(double value);

// The Increment of z (m) the guard names: the stable limit times the Speed, with a safety
// margin for the states further on, rounded down to two significant digits.
double SuggestedIncrement(double limit, double speed);

// "Unstable integration in zone 1, step 7: a step of 5 s is longer than the stable limit of
// 1.3 s here. Use an Increment of z of at most 0.026 m at this Speed." An increment that is
// not above 0 is never named: the message then says that no Increment of z is short enough.
std::string InstabilityMessage(std::int32_t zone, std::int32_t step, double stepTime,
                               double limit, double increment);

}  // namespace tovimar
