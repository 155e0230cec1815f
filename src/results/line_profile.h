#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "model/model.h"

namespace tovimar {

// One entry of the drying profile, placed along the line.
struct ProfilePoint {
  std::int32_t zone = 0;  // 1..ZoneCount
  std::int32_t step = 0;  // entry 0..N of the zone (0: the zone's entrance)
  double time = 0;        // s since the web entered zone 1
  // m from the zone's entrance: step x TimeIncrement x LineSpeed, multiplied in that order,
  // as the result table's LENGTH column computes it.
  double positionInZone = 0;
  // m from the entrance of zone 1: the exit position of the previous zone plus
  // positionInZone, so that a zone's entry 0 stands where the previous zone ended.
  double position = 0;
  double temp = 0;                     // web temperature, deg C
  double weight1 = 0, weight2 = 0;     // solvent weights, kg/m2
  double residual1 = 0, residual2 = 0; // residual ratios
  double fraction1 = 0, fraction2 = 0; // weight fractions in the coating
  // The drying-speed correction of this entry's total solvent fraction: the factor the
  // step leaving this entry is taken with.
  // 1 where the run's model applies no such correction.
  double dryingCorrection = 0;
  // The inside of the coating, for a model that resolves its thickness (0 otherwise): each
  // solvent's weight fraction at the surface and at the base film, and the skin ratio, the
  // surface's solvent content (both solvents per polymer mass) over the mean content.
  double surface1 = 0, surface2 = 0;
  double base1 = 0, base2 = 0;
  double skinRatio = 0;
};

// Where a zone lies along the line and which points belong to it.
struct ZoneSpan {
  std::int32_t zone = 0;
  std::int32_t steps = 0;      // N: the zone's points are entries 0..N
  std::size_t firstPoint = 0;  // index of its entry 0 in LineProfile::points
  double entryPosition = 0;    // m from the entrance of zone 1
  double exitPosition = 0;
  double airTemp = 0;          // the zone's air (Outer) temperature, deg C
};

// The profile of a run along the whole line: every entry of every active zone, zone by
// zone (a zone's entry 0 repeats the previous zone's exit, as the profile holds it).
struct LineProfile {
  std::vector<ProfilePoint> points;
  std::vector<ZoneSpan> zones;
  // Whether the run's model slowed its drying by the drying-speed correction: only then do
  // the points' corrections and the dry point mean anything.
  bool corrected = true;
  // Whether the points hold the inside of the coating (surface, base film, skin ratio).
  bool resolved = false;
};

// Reads the profile of the run that `sim` last completed: zones 1..ZoneCount with their
// step counts as the run read them. Throws std::invalid_argument when the zone count or a
// step count does not fit the profile (the simulation holds no completed run), and
// ArithmeticError when a drying-speed correction cannot be formed. The correction is formed
// only for a model that applies it, and the inside of the coating taken from a model that
// knows it.
LineProfile ProfileAlongLine(const Simulation& sim);

}  // namespace tovimar
