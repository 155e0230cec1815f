// The diffusion model's parameters and their resolution with the run's conditions.
#include "model/diffusion_parameters.h"

#include <cmath>
#include <string>

#include "model/arithmetic.h"
#include "model/model.h"

namespace tovimar {

using arith::Div;
using arith::Finite;

DiffusionModelParameters DefaultDiffusionParameters() {
  DiffusionModelParameters p;
  // Toluene in poly(vinyl acetate), Zielinski and Duda (1992), table 4. Solvent-1 takes the
  // same set until a published set of its own is entered (see docs/diffusion-model.md).
  for (double* D0 : {&p.D0_1, &p.D0_2}) *D0 = 4.82e-4;
  for (double* E : {&p.ActivationEnergy1, &p.ActivationEnergy2}) *E = 0;
  for (double* V : {&p.HoleVolume1, &p.HoleVolume2}) *V = 0.917;
  for (double* K : {&p.K1Gamma1, &p.K1Gamma2}) *K = 1.45e-3;
  for (double* K : {&p.K2MinusTg1, &p.K2MinusTg2}) *K = -86.32;
  for (double* X : {&p.Xi1, &p.Xi2}) *X = 0.82;
  p.HoleVolumePolymer = 0.728;
  p.K1GammaPolymer = 4.33e-4;
  p.K2MinusTgPolymer = -258.2;
  return p;
}

DiffusionInputs DiffusionInputsFrom(const DryingConditions& c, const DiffusionModelParameters& p) {
  DiffusionInputs in;
  const double density[2] = {c.Solvent1Density, c.Solvent2Density};
  const char* densityName[2] = {"the specific volume of solvent-1 (density)",
                                "the specific volume of solvent-2 (density)"};
  const double D0[2] = {p.D0_1, p.D0_2};
  const double E[2] = {p.ActivationEnergy1, p.ActivationEnergy2};
  const double V[2] = {p.HoleVolume1, p.HoleVolume2};
  const double K1[2] = {p.K1Gamma1, p.K1Gamma2};
  const double K2[2] = {p.K2MinusTg1, p.K2MinusTg2};
  const double Xi[2] = {p.Xi1, p.Xi2};
  const double chi[2] = {c.Chi1p, c.Chi2p};
  const double M[2] = {c.Solvent1MolWeight, c.Solvent2MolWeight};
  const double Hv[2] = {c.HeatOfVaporization1, c.HeatOfVaporization2};
  const double Cp[2] = {c.Solvent1Cp, c.Solvent2Cp};
  for (int i = 0; i < 2; ++i) {
    in.solvent[i] = {D0[i], E[i], V[i], K1[i], K2[i], Xi[i], chi[i],
                     Div(1.0, density[i], densityName[i]), M[i], Hv[i], Cp[i]};
  }
  in.polymer.HoleVolume = p.HoleVolumePolymer;
  in.polymer.K1Gamma = p.K1GammaPolymer;
  in.polymer.K2MinusTg = p.K2MinusTgPolymer;
  in.polymer.SpecificVolume = Div(1.0, c.PolymerDensity, "the specific volume of the polymer (density)");
  in.polymer.SpecificHeat = c.PolymerCp;
  in.polymer.SolidWeight = Finite(c.SolidWeight(), "the solid weight");
  in.polymer.BaseFilmWeight = c.BaseFilmWeight;
  in.polymer.BaseFilmSpecificHeat = c.BaseFilmCp;
  return in;
}

DiffusionStart DiffusionStartFrom(const DryingConditions& c) {
  const double Ws = c.SolidWeight();
  DiffusionStart s;
  s.u[0] = Div(Finite(c.CoatingWeight0 * c.Solvent1Ratio0, "the initial weight of solvent-1"), Ws,
               "the initial content of solvent-1 (solid weight)");
  s.u[1] = Div(Finite(c.CoatingWeight0 * c.Solvent2Ratio0, "the initial weight of solvent-2"), Ws,
               "the initial content of solvent-2 (solid weight)");
  s.T = c.InitialTemp;
  return s;
}

namespace {

// The partial pressure (mmHg) of a vapour whose ratio to the rest of the air is H.
double AirPressure(double H, const char* what) {
  return Div(Finite(TotalPressure * H, what), Finite(1 + H, what), what);
}

}  // namespace

DiffusionZone DiffusionZoneFrom(const DryingConditions& c, const DiffusionModelParameters& p,
                                std::int32_t zone) {
  DiffusionZone z;
  z.AirTemp = c.ZoneAirTemp[zone];
  z.HeatCoef = Finite(c.ZoneHeatCoefUpper[zone] + c.ZoneHeatCoefLower[zone],
                      "the heat-transfer coefficient of the web");
  z.airPressure[0] = AirPressure(c.ZoneHumidity1[zone], "the partial pressure of solvent-1 in the air");
  z.airPressure[1] = AirPressure(c.ZoneHumidity2[zone], "the partial pressure of solvent-2 in the air");
  const double set[2] = {p.ZoneMassTransferCoef1[zone], p.ZoneMassTransferCoef2[zone]};
  const double diffusivity[2] = {c.AirDiffusivity1, c.AirDiffusivity2};
  const double effectiveHeatCoef =
      Finite(c.ZoneHeatCoefUpper[zone] * c.Keff, "the effective heat-transfer coefficient");
  for (int i = 0; i < 2; ++i) {
    z.beta[i] = set[i] > 0 ? set[i] : CalcMassTransferCoef(diffusivity[i], effectiveHeatCoef);
  }
  return z;
}

DiffusionNumerics DiffusionNumericsFrom(const DiffusionModelParameters& p) {
  DiffusionNumerics numerics;
  numerics.cells = p.DiffusionCells;
  return numerics;
}

double DiffusionInterval(const DryingConditions& c) {
  return Div(c.StepLength, c.LineSpeed, "the time increment (Increment of z / Speed)");
}

ConditionsThermodynamics::ConditionsThermodynamics(const DryingConditions& c)
    : antoine_{{c.AntoineA1, c.AntoineB1, c.AntoineC1}, {c.AntoineA2, c.AntoineB2, c.AntoineC2}},
      chi_{c.Chi1p, c.Chi2p, c.Chi12} {}

double ConditionsThermodynamics::VaporPressure(int solvent, double T) const {
  return solvent == 1 ? AntoinePressure(antoine_.solvent1, T, "the vapour pressure of solvent-1",
                                        "the vapour pressure of solvent-1 (T + C)")
                      : AntoinePressure(antoine_.solvent2, T, "the vapour pressure of solvent-2",
                                        "the vapour pressure of solvent-2 (T + C)");
}

double ConditionsThermodynamics::Activity(int solvent, double Phi1, double Phi2) const {
  return solvent == 1 ? Activity1(chi_, Phi1, Phi2) : Activity2(chi_, Phi1, Phi2);
}

}  // namespace tovimar
