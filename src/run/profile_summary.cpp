#include "run/profile_summary.h"

#include <stdexcept>
#include <string>

namespace tovimar {

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
  line.points.reserve(total);
  line.zones.reserve(static_cast<std::size_t>(c.ZoneCount));
  const double timeIncrement = sim.state.TimeIncrement;
  const double lineSpeed = c.LineSpeed;
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
      point.positionInZone = r * timeIncrement * lineSpeed;
      point.position = zoneStart + point.positionInZone;
      point.temp = p.ProfileTemp[zone][k];
      point.weight1 = p.ProfileSolvent1Weight[zone][k];
      point.weight2 = p.ProfileSolvent2Weight[zone][k];
      point.residual1 = p.ProfileResidual1[zone][k];
      point.residual2 = p.ProfileResidual2[zone][k];
      point.fraction1 = p.ProfileSolvent1Fraction[zone][k];
      point.fraction2 = p.ProfileSolvent2Fraction[zone][k];
      // The same total fraction and correction as the march forms for the step from here.
      point.dryingCorrection = CalcDryingCorrection(
          c, arith::Finite(point.fraction1 + point.fraction2, "the total solvent fraction"));
      line.points.push_back(point);
    }
    span.exitPosition = line.points.back().position;
    zoneStart = span.exitPosition;
    line.zones.push_back(span);
  }
  return line;
}

ProfileSummary SummarizeProfile(const LineProfile& profile) {
  ProfileSummary summary;
  summary.zones.reserve(profile.zones.size());
  for (const ZoneSpan& span : profile.zones) {
    const ProfilePoint& entry = profile.points.at(span.firstPoint);
    const ProfilePoint& exit =
        profile.points.at(span.firstPoint + static_cast<std::size_t>(span.steps));
    ZoneSummary zone;
    zone.zone = span.zone;
    zone.steps = span.steps;
    zone.entryPosition = span.entryPosition;
    zone.exitPosition = span.exitPosition;
    zone.exitTemp = exit.temp;
    zone.exitResidual1 = exit.residual1;
    zone.exitResidual2 = exit.residual2;
    zone.evaporated1 = (entry.weight1 - exit.weight1) * 1000;
    zone.evaporated2 = (entry.weight2 - exit.weight2) * 1000;
    zone.evaporated = zone.evaporated1 + zone.evaporated2;
    summary.evaporated1 += zone.evaporated1;
    summary.evaporated2 += zone.evaporated2;
    summary.evaporated += zone.evaporated;
    summary.zones.push_back(zone);
  }
  if (summary.evaporated > 0) {
    for (ZoneSummary& zone : summary.zones) {
      zone.share = zone.evaporated / summary.evaporated;
    }
  }
  for (const ProfilePoint& point : profile.points) {
    if (point.dryingCorrection <= 0) {
      summary.dryPoint = DryPoint{point.zone, point.step, point.position, point.time};
      break;
    }
  }
  return summary;
}

}  // namespace tovimar
