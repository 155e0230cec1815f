#pragma once

#include <optional>

#include "model/conditions.h"
#include "model/thermo.h"

// The coating's bubble point as judging needs it: the thermodynamics module's relations
// (model/thermo.h) with the conditions' constants and the coating's composition.
namespace tovimar {

// The activities and mole fractions of the coating with solvent weights W1, W2 (kg/m2):
// the composition as the model forms it (CalcComposition), then the activities of
// model/thermo.h. A solvent of zero weight is absent: its activity is not formed (its
// logarithm would not exist) and it adds no pressure. Throws ArithmeticError as the model
// would for a composition it cannot form.
SolventActivities CalcSolventActivities(const DryingConditions& c, double W1, double W2);

// The Antoine constants of the conditions' two solvents.
SolventPair AntoineOf(const DryingConditions& c);

// Partial pressure sum (mmHg) of the present solvents at T (deg C), see model/thermo.h.
double SolventPressureSum(const DryingConditions& c, const SolventActivities& s, double T);

// The bubble temperature (deg C) of the coating, see model/thermo.h.
std::optional<double> BubbleTemperature(const DryingConditions& c, const SolventActivities& s,
                                        double guess = BubbleStartGuess);
std::optional<double> BubbleTemperature(const DryingConditions& c, double W1, double W2,
                                        double guess = BubbleStartGuess);

}  // namespace tovimar
