// Property relations: composition, mass-transfer coefficient, surface vapour ratios (from
// the vapour pressure and activity of model/thermo.h) and the drying-speed correction.
// Every expression keeps the written evaluation order; each intermediate is a double.
#include <cmath>

#include "model/model.h"
#include "model/thermo.h"

namespace tovimar {

using arith::Div;
using arith::Exp;
using arith::Finite;
using arith::Ln;

Composition CalcComposition(const DryingConditions& c, double W1, double W2) {
  const double Ws = c.SolidWeight();
  const double moles1 = Div(W1, c.Solvent1MolWeight, "the moles of solvent-1 (molecular weight)");
  const double moles2 = Div(W2, c.Solvent2MolWeight, "the moles of solvent-2 (molecular weight)");
  const double molesPolymer =
      Div(Ws, c.PolymerMolWeight, "the moles of polymer (molecular weight)");
  const double n = Finite((moles1 + moles2) + molesPolymer, "the total moles of the coating");
  const double volume1 = Div(W1, c.Solvent1Density, "the volume of solvent-1 (density)");
  const double volume2 = Div(W2, c.Solvent2Density, "the volume of solvent-2 (density)");
  const double volumePolymer = Div(Ws, c.PolymerDensity, "the volume of polymer (density)");
  const double v = Finite((volume1 + volume2) + volumePolymer, "the total volume of the coating");
  Composition result;
  result.X1 = Div(moles1, n, "the mole fraction of solvent-1");
  result.X2 = Div(moles2, n, "the mole fraction of solvent-2");
  result.Phi1 = Div(volume1, v, "the volume fraction of solvent-1");
  result.Phi2 = Div(volume2, v, "the volume fraction of solvent-2");
  return result;
}

WeightFractions CalcWeightFractions(const DryingConditions& c, double W1, double W2) {
  const double total = Finite((W1 + W2) + c.SolidWeight(), "the coating weight");
  return {Div(W1, total, "the weight fraction of solvent-1"),
          Div(W2, total, "the weight fraction of solvent-2")};
}

double CalcMassTransferCoef(double Diffusivity, double HeatCoef) {
  const double s = Div(AirKinematicViscosity, Diffusivity, "the Schmidt number (diffusivity in air)");
  const double r = Div(s, AirPrandtlNumber, "the Schmidt/Prandtl ratio");
  const double P = Exp(SchmidtPrandtlExponent * Ln(r, "Schmidt/Prandtl ratio (diffusivity in air)"),
                       "the Schmidt/Prandtl power");
  const double PD = Finite(P * Diffusivity, "the mass-transfer coefficient");
  const double PDh = Finite(PD * HeatCoef, "the mass-transfer coefficient");
  const double quotient = Div(PDh, AirConductivity, "the mass-transfer coefficient");
  return Finite(quotient * KilojouleToJoule, "the mass-transfer coefficient");
}

namespace {

// The common tail of both surface ratios: the partial pressure from the saturated pressure,
// the activity and the mole fraction, and its ratio to the rest of the atmosphere.
// The partial pressure is kept in `partial` for the boiling check and the stability guard.
double SurfaceRatio(double Ps, double a, double X, const char* ratio, double& partial) {
  const double p = Finite(Finite(Ps * a, ratio) * X, ratio);
  partial = p;
  return Div(p, TotalPressure - p, ratio);
}

}  // namespace

double CalcSurfaceHumidity1(const DryingConditions& c, DryingState& s, double T, double Phi1,
                            double Phi2, double X1) {
  const double Ps = AntoinePressure({c.AntoineA1, c.AntoineB1, c.AntoineC1}, T,
                                    "the vapour pressure of solvent-1",
                                    "the vapour pressure of solvent-1 (T + C)");
  s.VaporPressure1 = Ps;
  const double a = Activity1({c.Chi1p, c.Chi2p, c.Chi12}, Phi1, Phi2);
  return SurfaceRatio(Ps, a, X1,
                      "the surface vapour ratio of solvent-1 (partial pressure of 760 mmHg)",
                      s.PartialPressure1);
}

double CalcSurfaceHumidity2(const DryingConditions& c, DryingState& s, double T, double Phi1,
                            double Phi2, double X2) {
  const double Ps = AntoinePressure({c.AntoineA2, c.AntoineB2, c.AntoineC2}, T,
                                    "the vapour pressure of solvent-2",
                                    "the vapour pressure of solvent-2 (T + C)");
  s.VaporPressure2 = Ps;
  const double a = Activity2({c.Chi1p, c.Chi2p, c.Chi12}, Phi1, Phi2);
  return SurfaceRatio(Ps, a, X2,
                      "the surface vapour ratio of solvent-2 (partial pressure of 760 mmHg)",
                      s.PartialPressure2);
}

double CalcDryingCorrection(const DryingConditions& c, double X) {
  if (X >= c.Wi) {
    return 1;
  }
  if (X >= c.Wx) {
    const double span = c.Wi - c.Wx;
    return Finite(X * Div(1 - c.Wy, span, "the drying-speed correction (Wi - Wx)") -
                      Div(c.Wx - c.Wi * c.Wy, span, "the drying-speed correction (Wi - Wx)"),
                  "the drying-speed correction");
  }
  if (X >= c.We) {
    const double span = c.Wx - c.We;
    return Finite(X * Div(c.Wy, span, "the drying-speed correction (Wx - We)") -
                      Div(c.Wy * c.We, span, "the drying-speed correction (Wx - We)"),
                  "the drying-speed correction");
  }
  return 0;
}

}  // namespace tovimar
