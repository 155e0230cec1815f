#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>

#include "model/arithmetic.h"
#include "model/conditions.h"
#include "model/drying_model.h"
#include "model/state.h"
#include "model/thermo.h"

namespace tovimar {

// Fixed constants of the property relations and rate equations.
inline constexpr double AirKinematicViscosity = 1.887e-5;  // m2/s
inline constexpr double AirPrandtlNumber = 0.695;
inline constexpr double SchmidtPrandtlExponent = 0.42;
inline constexpr double AirConductivity = 0.02849;  // W/(m K)
inline constexpr double KilojouleToJoule = 1000;
inline constexpr double AirDensity = 1.059;   // kg/m3

// Releases a profile made by AllocateProfile.
struct ProfileDeleter {
  void operator()(DryingProfile* profile) const noexcept;
};
using ProfilePtr = std::unique_ptr<DryingProfile, ProfileDeleter>;

// A zeroed profile. Its memory comes zeroed from the system and is only touched where a
// run writes, so a short run does not pay for the pages of 14 full zones.
ProfilePtr AllocateProfile();

// The program-wide records of one simulation. Each run overwrites what it uses. The
// profile (about 2.2 MB) is allocated once, when the simulation is created.
struct Simulation {
  DryingConditions conditions;
  DryingState state;
  ProfilePtr profile = AllocateProfile();
  // The model that made the profile: the last run's (see RunOptions::model). A fresh
  // simulation's is the lumped model, whose functions below march it directly.
  std::unique_ptr<DryingModel> model = MakeLumpedModel();
};

// Mole and volume fractions of the two solvents in the coating.
struct Composition {
  double X1 = 0, X2 = 0;      // mole fractions
  double Phi1 = 0, Phi2 = 0;  // volume fractions
};

// Weight fractions w1 = W1 / ((W1 + W2) + Ws), w2 likewise.
struct WeightFractions {
  double w1 = 0, w2 = 0;
};

Composition CalcComposition(const DryingConditions& c, double W1, double W2);
WeightFractions CalcWeightFractions(const DryingConditions& c, double W1, double W2);

// Mass-transfer coefficient (m/s) of a solvent with the given diffusivity in air (m2/s),
// from the effective heat-transfer coefficient (kJ/(m2 s K)).
double CalcMassTransferCoef(double Diffusivity, double HeatCoef);

// Equilibrium vapour ratios at the coating surface; each stores its saturated vapour
// pressure in the state.
double CalcSurfaceHumidity1(const DryingConditions& c, DryingState& s, double T, double Phi1,
                            double Phi2, double X1);
double CalcSurfaceHumidity2(const DryingConditions& c, DryingState& s, double T, double Phi1,
                            double Phi2, double X2);

// Piecewise-linear drying-speed correction for the total solvent weight fraction X.
double CalcDryingCorrection(const DryingConditions& c, double X);

// The integrator's vector, indexed 1 to 10 (entry 0 unused); the model uses 1 to 3:
// solvent-1 weight, solvent-2 weight, web temperature.
inline constexpr int StateVectorSize = 10;
using StateVector = std::array<double, StateVectorSize + 1>;

void CalcRates(const Simulation& sim, StateVector& Rates, StateVector State, std::int32_t Zone,
               double Time);
void CalcRates(const DryingConditions& c, const DryingState& s, StateVector& Rates,
               StateVector State, std::int32_t Zone, double Time);

// Gill's Runge-Kutta variant: advances State (N equations) from Time by Step.
void RungeKuttaGillStep(const Simulation& sim, std::int32_t N, StateVector& State,
                        std::int32_t Zone, double Time, double Step);
void RungeKuttaGillStep(const DryingConditions& c, const DryingState& s, std::int32_t N,
                        StateVector& State, std::int32_t Zone, double Time, double Step);

// Entry 0 of zone 1 and the time increment, from the conditions.
void PrepareInitialState(Simulation& sim);

// Advances the web through zone `Zone` in `Steps` steps, filling that row of the profile
// from its entry 0. Refuses a zone outside 1..MaxZones or a step count outside
// 0..MaxStepsPerZone with StepCountError; an arithmetic fault throws ArithmeticError
// naming the zone and step.
void MarchZone(Simulation& sim, std::int32_t Zone, std::int32_t Steps);

// The distance (m) of entry `step` from its zone's entrance: step x TimeIncrement x
// LineSpeed, multiplied in that order. The result table prints it and the line profile
// places its points with it.
inline double PositionInZone(const Simulation& sim, std::int32_t step) {
  return static_cast<double>(step) * sim.state.TimeIncrement * sim.conditions.LineSpeed;
}

// Copies the exit state of zone `Zone` (after `Steps` steps) into entry 0 of the next zone.
void CarryToNextZone(Simulation& sim, std::int32_t Zone, std::int32_t Steps);

}  // namespace tovimar
