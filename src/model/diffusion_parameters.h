#pragma once

#include <cstdint>

#include "model/conditions.h"
#include "model/diffusion_inputs.h"
#include "model/diffusion_kernel.h"
#include "model/thermo.h"

// The diffusion model's own parameters, named as the user sets them, and their resolution
// with the run's conditions into the kernel's inputs.
namespace tovimar {

struct DiffusionModelParameters {
  std::int32_t DiffusionCells = DefaultDiffusionCells;
  double D0_1 = 0, D0_2 = 0;                            // cm2/s
  double ActivationEnergy1 = 0, ActivationEnergy2 = 0;  // J/mol
  double HoleVolume1 = 0, HoleVolume2 = 0;              // V*, cm3/g
  double K1Gamma1 = 0, K1Gamma2 = 0;                    // cm3/(g K)
  double K2MinusTg1 = 0, K2MinusTg2 = 0;                // K
  double Xi1 = 0, Xi2 = 0;
  double HoleVolumePolymer = 0;                         // cm3/g
  double K1GammaPolymer = 0;                            // cm3/(g K)
  double K2MinusTgPolymer = 0;                          // K
  // A zone's mass-transfer coefficient of each solvent (m/s); 0 takes the lumped model's
  // coefficient of that zone (from the upper heat-transfer coefficient times Keff).
  ZoneArray ZoneMassTransferCoef1{};
  ZoneArray ZoneMassTransferCoef2{};
};

// The published set the model starts with (docs/diffusion-model.md gives the sources).
DiffusionModelParameters DefaultDiffusionParameters();

// The kernel's inputs from the conditions (densities, specific heats, molecular weights,
// heats of vaporization, interaction parameters, weights) and the model's parameters.
DiffusionInputs DiffusionInputsFrom(const DryingConditions& c, const DiffusionModelParameters& p);

// The coating at the entrance of zone 1: the contents u_i = Wi0 / Ws and the temperature.
DiffusionStart DiffusionStartFrom(const DryingConditions& c);

// Zone `zone`'s air: its temperature, the solvents' partial pressures from its absolute
// humidities (760 H / (1 + H) mmHg), the mass-transfer coefficients and hU + hL.
DiffusionZone DiffusionZoneFrom(const DryingConditions& c, const DiffusionModelParameters& p,
                                std::int32_t zone);

// The kernel's numerics with the parameters' cell count.
DiffusionNumerics DiffusionNumericsFrom(const DiffusionModelParameters& p);

// The printed points' spacing in time: Increment of z over Speed.
double DiffusionInterval(const DryingConditions& c);

// The lumped model's surface thermodynamics: Antoine vapour pressures and the Flory-Huggins
// activity of the surface's volume fractions from the three interaction parameters.
class ConditionsThermodynamics final : public SurfaceThermodynamics {
 public:
  explicit ConditionsThermodynamics(const DryingConditions& c);
  [[nodiscard]] double VaporPressure(int solvent, double T) const override;
  [[nodiscard]] double Activity(int solvent, double Phi1, double Phi2) const override;

 private:
  SolventPair antoine_;
  InteractionParameters chi_;
};

}  // namespace tovimar
