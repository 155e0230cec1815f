#pragma once

#include <optional>

#include "model/conditions.h"

namespace tovimar {

// What each solvent of a coating contributes to its vapour pressure besides the saturated
// pressure: the activity a_i and the mole fraction X_i. They depend on the composition only,
// so one set serves every temperature of a bubble-point solve.
struct SolventActivities {
  bool present1 = false, present2 = false;  // the coating holds some of the solvent
  double a1 = 0, X1 = 0;
  double a2 = 0, X2 = 0;
};

// The activities and mole fractions of the coating with solvent weights W1, W2 (kg/m2),
// formed with the same expressions, in the same order, as the surface vapour relations of the
// model (CalcComposition, then the activity a = exp(L)). A solvent of zero weight is absent:
// its activity is not formed (its logarithm would not exist) and it adds no pressure. Throws
// ArithmeticError as the model would for a composition it cannot form.
SolventActivities CalcSolventActivities(const DryingConditions& c, double W1, double W2);

// Partial pressure (mmHg) of each present solvent at T (deg C), p_i = Ps_i(T) x a_i x X_i,
// with the Antoine pressure Ps = 10^(A - B / (T + C)), multiplied in the model's order.
double SolventPressureSum(const DryingConditions& c, const SolventActivities& s, double T);

// Where to start the solve when nothing better is known, deg C.
inline constexpr double BubbleStartGuess = 100;

// The bubble temperature (deg C): where p1 + p2 reaches the total pressure of 760 mmHg.
// None when neither solvent is present: such a coating cannot boil. Solved within 1e-6 K by
// a safeguarded Newton iteration on p1 + p2 from `guess` (the previous point's bubble
// temperature makes it mostly one evaluation): a step that leaves the bracket known so far
// is replaced by bisection, and until a temperature above the root is seen the search widens
// upward. Throws ArithmeticError when the pressures cannot be formed or no root is found.
std::optional<double> BubbleTemperature(const DryingConditions& c, const SolventActivities& s,
                                        double guess = BubbleStartGuess);
std::optional<double> BubbleTemperature(const DryingConditions& c, double W1, double W2,
                                        double guess = BubbleStartGuess);

}  // namespace tovimar
