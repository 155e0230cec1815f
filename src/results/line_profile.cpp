#include "results/line_profile.h"

#include <stdexcept>
#include <string>

namespace tovimar {

namespace {

// The point's inside of the coating from the model that made the run.
void SetInside(ProfilePoint& point, const Simulation& sim, double solidWeight) {
  const std::optional<CoatingInside> inside = sim.model->Inside(point.zone, point.step);
  if (!inside) return;
  point.surface1 = inside->surfaceW[0];
  point.surface2 = inside->surfaceW[1];
  point.base1 = inside->baseW[0];
  point.base2 = inside->baseW[1];
  // Contents per polymer mass: at the surface from its fractions, the mean from the weights.
  const double surfacePolymer = 1 - point.surface1 - point.surface2;
  const double surface = surfacePolymer > 0 ? (point.surface1 + point.surface2) / surfacePolymer : 0;
  const double mean = (point.weight1 + point.weight2) / solidWeight;
  point.skinRatio = mean > 0 ? surface / mean : 1.0;
}

}  // namespace

LineProfile ProfileAlongLine(const Simulation& sim) {
  const DryingConditions& c = sim.conditions;
  const DryingProfile& p = *sim.profile;
  if (c.ZoneCount < 1 || c.ZoneCount > MaxZones) {
    throw std::invalid_argument("no completed run: " + std::to_string(c.ZoneCount) +
                                " active zones");
  }
  std::size_t total = 0;
  for (std::int32_t z = 1; z <= c.ZoneCount; ++z) {
    const std::int32_t n = c.ZoneStepCount[static_cast<std::size_t>(z)];
    if (n < 0 || n > MaxStepsPerZone) {
      throw std::invalid_argument("no completed run: zone " + std::to_string(z) + " has " +
                                  std::to_string(n) + " steps");
    }
    total += static_cast<std::size_t>(n) + 1;
  }

  LineProfile line;
  line.corrected = sim.model->AppliesDryingCorrection();
  line.resolved = sim.model->Inside(1, 0).has_value();
  line.points.reserve(total);
  line.zones.reserve(static_cast<std::size_t>(c.ZoneCount));
  double zoneStart = 0;
  for (std::int32_t z = 1; z <= c.ZoneCount; ++z) {
    const auto zone = static_cast<std::size_t>(z);
    const std::int32_t n = c.ZoneStepCount[zone];
    ZoneSpan span;
    span.zone = z;
    span.steps = n;
    span.firstPoint = line.points.size();
    span.entryPosition = zoneStart;
    span.airTemp = c.ZoneAirTemp[zone];
    for (std::int32_t r = 0; r <= n; ++r) {
      const auto k = static_cast<std::size_t>(r);
      ProfilePoint point;
      point.zone = z;
      point.step = r;
      point.time = p.ProfileTime[zone][k];
      point.positionInZone = PositionInZone(sim, r);
      point.position = zoneStart + point.positionInZone;
      point.temp = p.ProfileTemp[zone][k];
      point.weight1 = p.ProfileSolvent1Weight[zone][k];
      point.weight2 = p.ProfileSolvent2Weight[zone][k];
      point.residual1 = p.ProfileResidual1[zone][k];
      point.residual2 = p.ProfileResidual2[zone][k];
      point.fraction1 = p.ProfileSolvent1Fraction[zone][k];
      point.fraction2 = p.ProfileSolvent2Fraction[zone][k];
      // The same total fraction and correction as the march forms for the step from here.
      point.dryingCorrection =
          line.corrected ? CalcDryingCorrection(c, arith::Finite(point.fraction1 + point.fraction2,
                                                                 "the total solvent fraction"))
                         : 1.0;
      if (line.resolved) {
        SetInside(point, sim, c.SolidWeight());
      }
      line.points.push_back(point);
    }
    span.exitPosition = line.points.back().position;
    zoneStart = span.exitPosition;
    line.zones.push_back(span);
  }
  return line;
}

}  // namespace tovimar
