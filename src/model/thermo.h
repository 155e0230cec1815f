#pragma once

#include <cmath>
#include <optional>

#include "model/arithmetic.h"

// The coating's thermodynamics, written once for both drying models and for judging: the
// solvents' saturated vapour pressure (Antoine), the Flory-Huggins activity of the two
// solvents in the polymer, and the bubble temperature of a coating. Plain parameters only;
// the callers form them from their conditions. Every expression keeps the written evaluation
// order and each intermediate is a double, so that every caller gets the same bits. It is the
// lowest part of model/ (it includes only model/arithmetic.h): its relations refuse a fault
// through the same checks and error types as the rest of the model.
namespace tovimar {

// The pressure of the atmosphere around the web, mmHg.
inline constexpr double TotalPressure = 760;

// The Antoine constants of one solvent: log10(Ps / mmHg) = A - B / (T / deg C + C).
struct AntoineConstants {
  double A = 0, B = 0, C = 0;
};

// The Antoine relation once: 10^(A - quotient), the quotient B / (T + C) formed by the caller
// (checked or not).
inline double AntoineOfQuotient(double A, double quotient) { return std::pow(10.0, A - quotient); }

// Saturated vapour pressure (mmHg) at T (deg C): 10^(A - B / (T + C)). A sum T + C or a
// quotient that is not a finite number, a zero sum, and a pressure that overflows are
// faults (ArithmeticError): `pressure` names the result and `denominator` the sum T + C in
// the fault's message. Inline, as the activities below: the lumped model's march evaluates
// them at every stage of every step.
inline double AntoinePressure(const AntoineConstants& k, double T, const char* pressure,
                              const char* denominator) {
  const double quotient = arith::Div(k.B, arith::Finite(T + k.C, denominator), denominator);
  return arith::Finite(AntoineOfQuotient(k.A, quotient), pressure);
}

// The three interaction parameters of the activity relation.
struct InteractionParameters {
  double Chi1p = 0;  // solvent-1 / polymer
  double Chi2p = 0;  // solvent-2 / polymer
  double Chi12 = 0;  // solvent-1 / solvent-2
};

// ln of the activity of solvent-1 (resp. solvent-2) at the volume fractions Phi1 and Phi2 of
// the two solvents (the polymer holds the rest). A volume fraction of 0 or less is a fault:
// the logarithm of that solvent's own fraction is taken.
inline double ActivityExponent1(const InteractionParameters& chi, double Phi1, double Phi2) {
  const double Phi3 = 1 - (Phi1 + Phi2);
  return arith::Finite(arith::Ln(Phi1, "volume fraction of solvent-1") + (1 - Phi1) - Phi2 +
                           (chi.Chi12 * Phi2 + chi.Chi1p * Phi3) * (Phi3 + Phi2) -
                           chi.Chi2p * Phi2 * Phi3,
                       "the activity of solvent-1");
}

inline double ActivityExponent2(const InteractionParameters& chi, double Phi1, double Phi2) {
  const double Phi3 = 1 - (Phi1 + Phi2);
  return arith::Finite(arith::Ln(Phi2, "volume fraction of solvent-2") + (1 - Phi2) - Phi1 +
                           (chi.Chi12 * Phi1 + chi.Chi2p * Phi3) * (Phi3 + Phi1) -
                           chi.Chi1p * Phi1 * Phi3,
                       "the activity of solvent-2");
}

// The activity itself, exp of the exponent above ("the activity of solvent-1/2" in a fault).
inline double Activity1(const InteractionParameters& chi, double Phi1, double Phi2) {
  return arith::Exp(ActivityExponent1(chi, Phi1, Phi2), "the activity of solvent-1");
}

inline double Activity2(const InteractionParameters& chi, double Phi1, double Phi2) {
  return arith::Exp(ActivityExponent2(chi, Phi1, Phi2), "the activity of solvent-2");
}

// What each solvent of a coating contributes to its vapour pressure besides the saturated
// pressure: the activity a_i and the mole fraction X_i. They depend on the composition only,
// so one set serves every temperature of a bubble-point solve. An absent solvent adds no
// pressure.
struct SolventActivities {
  bool present1 = false, present2 = false;  // the coating holds some of the solvent
  double a1 = 0, X1 = 0;
  double a2 = 0, X2 = 0;
};

// The Antoine constants of both solvents.
struct SolventPair {
  AntoineConstants solvent1, solvent2;
};

// p1 + p2 (mmHg) at T (deg C), with p_i = (Ps_i(T) x a_i) x X_i for each present solvent.
// Nothing is checked: the bubble-point solve keeps within the range where the pressures exist.
double SolventPressureSum(const SolventPair& antoine, const SolventActivities& s, double T);

// Where to start the solve when nothing better is known, deg C.
inline constexpr double BubbleStartGuess = 100;

// The bubble temperature (deg C): where p1 + p2 reaches TotalPressure. None when neither
// solvent is present: such a coating cannot boil. Solved within 1e-6 K by a safeguarded
// Newton iteration on p1 + p2 from `guess` (the previous point's bubble temperature makes it
// mostly one evaluation): a step that leaves the bracket known so far is replaced by
// bisection, and until a temperature above the root is seen the search widens upward. Throws
// ArithmeticError when no root is found.
std::optional<double> BubbleTemperature(const SolventPair& antoine, const SolventActivities& s,
                                        double guess = BubbleStartGuess);

}  // namespace tovimar
