#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tovimar {

// The dryer offers this many zones; every zone array holds one entry per zone.
inline constexpr int MaxZones = 14;
// Entries of one zone's profile row: entry 0 (the zone entrance) and at most 1999 steps.
inline constexpr int StepsPerZone = 2000;
inline constexpr int MaxStepsPerZone = StepsPerZone - 1;

// One value per zone, indexed 1 to MaxZones (index 0 is unused), so that zone z is [z].
using ZoneArray = std::array<double, MaxZones + 1>;
using ZoneIntArray = std::array<std::int32_t, MaxZones + 1>;

// Every input of a run. Numbers are used as entered; no unit is converted. The values a
// fresh window shows live in the field catalogue (input/field_catalogue.h); a record that
// has not been read yet is all zero and its file name empty.
struct DryingConditions {
  // Web and coating.
  double CoatingWeight0 = 0;   // kg/m2, solid plus both solvents
  double SolidRatio0 = 0;      // weight ratio of the solid
  double Solvent1Ratio0 = 0;   // weight ratio of solvent-1
  double Solvent2Ratio0 = 0;   // weight ratio of solvent-2
  double BaseFilmWeight = 0;   // kg/m2
  double LineSpeed = 0;        // m/s
  double InitialTemp = 0;      // deg C at the entrance of zone 1
  double StepLength = 0;       // m, the "Increment of z"

  // Zones.
  ZoneArray ZoneAirTemp{};        // deg C
  ZoneArray ZoneLength{};         // m
  ZoneArray ZoneHumidity1{};      // solvent-1 absolute humidity of the air
  ZoneArray ZoneHumidity2{};      // solvent-2 absolute humidity of the air
  ZoneArray ZoneHeatCoefUpper{};  // kJ/(m2 s K), coated side; also the basis of mass transfer
  ZoneArray ZoneHeatCoefLower{};  // kJ/(m2 s K), base-film side

  // Zone bookkeeping, settled when the conditions are read.
  std::int32_t ZoneCount = 0;
  ZoneIntArray ZoneStepCount{};

  // Fitting parameters.
  double Wi = 0;     // total solvent fraction at and above which drying runs at full speed
  double We = 0;     // total solvent fraction below which drying stops
  double Wx = 0;     // bend of the correction line
  double Wy = 0;     // correction factor at Wx
  double Keff = 0;   // dryer efficiency, multiplies the upper heat coefficient for mass transfer
  double Chi1p = 0;  // interaction solvent-1 / polymer
  double Chi2p = 0;  // interaction solvent-2 / polymer
  double Chi12 = 0;  // interaction solvent-1 / solvent-2

  // Physical properties.
  double PolymerCp = 0;         // kJ/(kg K)
  double PolymerDensity = 0;    // g/cm3
  double PolymerMolWeight = 0;
  double Solvent1Cp = 0;        // kJ/(kg K)
  double HeatOfVaporization1 = 0;  // kJ/kg
  double AirDiffusivity1 = 0;   // m2/s
  double AntoineA1 = 0, AntoineB1 = 0, AntoineC1 = 0;
  double Solvent1Density = 0;   // g/cm3
  double Solvent1MolWeight = 0;
  double Solvent2Cp = 0;
  double HeatOfVaporization2 = 0;
  double AirDiffusivity2 = 0;
  double AntoineA2 = 0, AntoineB2 = 0, AntoineC2 = 0;
  double Solvent2Density = 0;
  double Solvent2MolWeight = 0;
  double BaseFilmCp = 0;        // kJ/(kg K)

  std::string ResultFileName;

  // The constant solid weight per area, Ws.
  [[nodiscard]] double SolidWeight() const { return CoatingWeight0 * SolidRatio0; }
};

}  // namespace tovimar
