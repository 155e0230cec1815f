#pragma once

#include <array>
#include <cstdint>

#include "model/conditions.h"

namespace tovimar {

// The first point of a run where a solvent's partial pressure at the surface exceeded the
// atmosphere while the drying-speed correction was 0 (the run goes on; the caller warns).
struct BoilingRecord {
  bool found = false;
  std::int32_t zone = 0;
  std::int32_t step = 0;      // 1-based, as in the messages
  std::int32_t solvent = 0;   // 1 or 2
  double pressure = 0;        // mmHg
  double temperature = 0;     // deg C
};

// The model's small working state, overwritten by every run.
struct DryingState {
  double TimeIncrement = 0;  // s, StepLength / LineSpeed
  ZoneArray MassTransferCoef1{};  // m/s, per zone
  ZoneArray MassTransferCoef2{};
  double DryingCorrection1 = 0;  // per step; both hold the same value
  double DryingCorrection2 = 0;
  double SurfaceHumidity1 = 0;   // per step
  double SurfaceHumidity2 = 0;
  double HeatCapacity = 0;       // kJ/(m2 K), per step
  double VaporPressure1 = 0;     // mmHg, last saturated vapour pressure evaluated
  double VaporPressure2 = 0;
  double PartialPressure1 = 0;   // mmHg, Ps x activity x mole fraction, last evaluated
  double PartialPressure2 = 0;
  BoilingRecord boiling;         // reset by PrepareInitialState
};

// The simulated web, zone by zone and step by step: ten arrays of MaxZones rows of
// StepsPerZone entries. Row z (1-based) entry 0 is the state at the entrance of zone z,
// entry k the state after k steps. Allocated once, zeroed, by AllocateProfile (model.h);
// nothing grows during a run.
struct DryingProfile {
  using Row = std::array<double, StepsPerZone>;
  using Rows = std::array<Row, MaxZones + 1>;  // row 0 unused, so that zone z is [z]

  Rows ProfileSolvent1Weight;    // kg/m2
  Rows ProfileSolvent2Weight;    // kg/m2
  Rows ProfileTemp;              // deg C
  Rows ProfileTime;              // s since the web entered zone 1
  Rows ProfileSolvent1Fraction;  // weight fraction of solvent-1 in the coating
  Rows ProfileSolvent2Fraction;
  Rows ProfileResidual1;         // weight of solvent-1 relative to the entrance of zone 1
  Rows ProfileResidual2;
  Rows ProfileSurfaceHumidity1;  // surface vapour ratio used for step k + 1
  Rows ProfileSurfaceHumidity2;

  // The eight arrays whose entry 0 of zone z + 1 carries on from the exit of zone z.
  static constexpr std::array<Rows DryingProfile::*, 8> CarriedProfileArrays{
      &DryingProfile::ProfileTime,
      &DryingProfile::ProfileSolvent1Weight,
      &DryingProfile::ProfileSolvent2Weight,
      &DryingProfile::ProfileTemp,
      &DryingProfile::ProfileSolvent1Fraction,
      &DryingProfile::ProfileSolvent2Fraction,
      &DryingProfile::ProfileResidual1,
      &DryingProfile::ProfileResidual2,
  };
};

}  // namespace tovimar
