#pragma once

// The coating surface's thermodynamics, shared by the lumped model's surface relation and the
// diffusion kernel: the solvents' saturated vapour pressure from the Antoine constants and the
// Flory-Huggins activity of the two solvents from the three interaction parameters. Every
// expression keeps the written evaluation order; each intermediate is a double.
namespace tovimar {

// Saturated vapour pressure (mmHg) from the Antoine constants at T (deg C):
// 10^(A - B / (T + C)). `pressure` names the result and `denominator` the sum T + C in a
// fault's message.
double AntoinePressure(double A, double B, double C, double T, const char* pressure,
                       const char* denominator);

// The three interaction parameters of the activity relation.
struct InteractionParameters {
  double Chi1p = 0;  // solvent-1 / polymer
  double Chi2p = 0;  // solvent-2 / polymer
  double Chi12 = 0;  // solvent-1 / solvent-2
};

// ln of the activity of solvent-1 (resp. solvent-2) at the volume fractions Phi1 and Phi2 of
// the two solvents (the polymer holds the rest). A volume fraction of 0 or less is a fault:
// the logarithm of that solvent's own fraction is taken.
double ActivityExponent1(const InteractionParameters& chi, double Phi1, double Phi2);
double ActivityExponent2(const InteractionParameters& chi, double Phi1, double Phi2);

}  // namespace tovimar
