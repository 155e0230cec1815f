// The initial state of the web and the march through one zone.
#include <cstdlib>
#include <new>
#include <string>
#include <type_traits>

#include "model/model.h"
#include "model/step.h"

namespace tovimar {

using arith::Div;
using arith::Finite;

// The profile is arrays of doubles only, so zeroed memory is a valid, all-zero profile.
static_assert(std::is_trivially_default_constructible_v<DryingProfile> &&
              std::is_trivially_destructible_v<DryingProfile>);

void ProfileDeleter::operator()(DryingProfile* profile) const noexcept { std::free(profile); }

ProfilePtr AllocateProfile() {
  void* memory = std::calloc(1, sizeof(DryingProfile));
  if (memory == nullptr) {
    throw std::bad_alloc();
  }
  return ProfilePtr(static_cast<DryingProfile*>(memory));
}

void PrepareInitialState(Simulation& sim) {
  const DryingConditions& c = sim.conditions;
  DryingProfile& p = *sim.profile;
  try {
    const double W1 = Finite(c.CoatingWeight0 * c.Solvent1Ratio0, "the initial weight of solvent-1");
    const double W2 = Finite(c.CoatingWeight0 * c.Solvent2Ratio0, "the initial weight of solvent-2");
    const double timeIncrement =
        Div(c.StepLength, c.LineSpeed, "the time increment (Increment of z / Speed)");
    const WeightFractions w = CalcWeightFractions(c, W1, W2);
    const double residual1 = Div(W1, W1, "the initial residual ratio of solvent-1");
    const double residual2 = Div(W2, W2, "the initial residual ratio of solvent-2");

    p.ProfileSolvent1Weight[1][0] = W1;
    p.ProfileSolvent2Weight[1][0] = W2;
    p.ProfileTime[1][0] = 0;
    sim.state.TimeIncrement = timeIncrement;
    sim.state.boiling = BoilingRecord{};
    p.ProfileSolvent1Fraction[1][0] = w.w1;
    p.ProfileSolvent2Fraction[1][0] = w.w2;
    p.ProfileResidual1[1][0] = residual1;
    p.ProfileResidual2[1][0] = residual2;
    p.ProfileTemp[1][0] = c.InitialTemp;
  } catch (const ArithmeticError& e) {
    throw ArithmeticError(std::string("Arithmetic error in the initial state: ") + e.what());
  }
}

namespace {

void CheckZoneAndSteps(std::int32_t Zone, std::int32_t Steps) {
  if (Zone < 1 || Zone > MaxZones) {
    throw StepCountError("Zone " + std::to_string(Zone) + " does not exist; zones are 1 to " +
                         std::to_string(MaxZones) + ".");
  }
  if (Steps < 0 || Steps > MaxStepsPerZone) {
    throw StepCountError("Zone " + std::to_string(Zone) + " needs " + std::to_string(Steps) +
                         " steps; a zone can have 0 to " + std::to_string(MaxStepsPerZone) +
                         ".");
  }
}

// The mass-transfer coefficient of one solvent; a fault says which solvent's it is (both
// take the same relation, so its own message cannot).
double MassTransferCoefOf(double Diffusivity, double HeatCoef, const char* solvent) {
  try {
    return CalcMassTransferCoef(Diffusivity, HeatCoef);
  } catch (const ArithmeticError& e) {
    throw ArithmeticError(std::string(e.what()) + " of " + solvent);
  }
}

// One step of zone z from entry k to entry k + 1.
void MarchStep(Simulation& sim, std::int32_t z, std::int32_t k) {
  const DryingConditions& c = sim.conditions;
  DryingState& s = sim.state;
  DryingProfile& p = *sim.profile;
  WebState at;
  at.Time = p.ProfileTime[z][k];
  at.W1 = p.ProfileSolvent1Weight[z][k];
  at.W2 = p.ProfileSolvent2Weight[z][k];
  at.T = p.ProfileTemp[z][k];
  at.Fraction1 = p.ProfileSolvent1Fraction[z][k];
  at.Fraction2 = p.ProfileSolvent2Fraction[z][k];
  const ErrorPlace place{z, k + 1};

  const StepStart start = BeginStep(c, s, at, place);
  p.ProfileSurfaceHumidity1[z][k] = s.SurfaceHumidity1;
  p.ProfileSurfaceHumidity2[z][k] = s.SurfaceHumidity2;

  const WebState next = FinishStep(c, s, at, start, p.ProfileSolvent1Weight[1][0],
                                   p.ProfileSolvent2Weight[1][0], s.TimeIncrement, place, true);

  // Everything is computed before anything of entry k + 1 is stored, so a fault never
  // leaves a half-written entry behind.
  p.ProfileTime[z][k + 1] = next.Time;
  p.ProfileSolvent1Weight[z][k + 1] = next.W1;
  p.ProfileSolvent2Weight[z][k + 1] = next.W2;
  p.ProfileTemp[z][k + 1] = next.T;
  p.ProfileSolvent1Fraction[z][k + 1] = next.Fraction1;
  p.ProfileSolvent2Fraction[z][k + 1] = next.Fraction2;
  p.ProfileResidual1[z][k + 1] = next.Residual1;
  p.ProfileResidual2[z][k + 1] = next.Residual2;
}

}  // namespace

void MarchZone(Simulation& sim, std::int32_t Zone, std::int32_t Steps) {
  CheckZoneAndSteps(Zone, Steps);
  const DryingConditions& c = sim.conditions;
  DryingState& s = sim.state;
  std::int32_t k = 0;
  try {
    const double effectiveHeatCoef =
        Finite(c.ZoneHeatCoefUpper[Zone] * c.Keff, "the effective heat-transfer coefficient");
    const double coef1 = MassTransferCoefOf(c.AirDiffusivity1, effectiveHeatCoef, "solvent-1");
    const double coef2 = MassTransferCoefOf(c.AirDiffusivity2, effectiveHeatCoef, "solvent-2");
    s.MassTransferCoef1[Zone] = coef1;
    s.MassTransferCoef2[Zone] = coef2;
  } catch (const ArithmeticError& e) {
    throw ArithmeticError("Arithmetic error in zone " + std::to_string(Zone) +
                              ", mass-transfer coefficients: " + e.what(),
                          {Zone, 0});
  }
  try {
    for (k = 0; k < Steps; ++k) {
      MarchStep(sim, Zone, k);
    }
  } catch (const ArithmeticError& e) {
    throw ArithmeticError("Arithmetic error in zone " + std::to_string(Zone) + ", step " +
                              std::to_string(k + 1) + ": " + e.what(),
                          {Zone, k + 1});
  }
}

void CarryToNextZone(Simulation& sim, std::int32_t Zone, std::int32_t Steps) {
  CheckZoneAndSteps(Zone, Steps);
  if (Zone >= MaxZones) {
    return;
  }
  DryingProfile& p = *sim.profile;
  for (auto array : DryingProfile::CarriedProfileArrays) {
    (p.*array)[Zone + 1][0] = (p.*array)[Zone][Steps];
  }
}

}  // namespace tovimar
