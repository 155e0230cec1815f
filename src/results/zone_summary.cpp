#include "results/zone_summary.h"

namespace tovimar {

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
    zone.exitWeight1 = exit.weight1;
    zone.exitWeight2 = exit.weight2;
    zone.evaporated1 = (entry.weight1 - exit.weight1) * 1000;
    zone.evaporated2 = (entry.weight2 - exit.weight2) * 1000;
    zone.evaporated = zone.evaporated1 + zone.evaporated2;
    if (profile.resolved) {
      zone.exitInside = CoatingExit{exit.surface1, exit.surface2, exit.base1, exit.base2, exit.skinRatio};
    }
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
    if (!profile.corrected) break;  // a model without the correction has no dry point
    if (point.dryingCorrection <= 0) {
      summary.dryPoint = DryPoint{point.zone, point.step, point.position, point.time};
      break;
    }
  }
  return summary;
}

ZoneSummary LineAsZone(const ProfileSummary& summary) {
  ZoneSummary line;
  if (!summary.zones.empty()) {
    const ZoneSummary& last = summary.zones.back();
    line.steps = 0;
    line.entryPosition = 0;
    line.exitPosition = last.exitPosition;
    line.exitTemp = last.exitTemp;
    line.exitResidual1 = last.exitResidual1;
    line.exitResidual2 = last.exitResidual2;
    line.exitWeight1 = last.exitWeight1;
    line.exitWeight2 = last.exitWeight2;
    line.exitInside = last.exitInside;
  }
  line.evaporated1 = summary.evaporated1;
  line.evaporated2 = summary.evaporated2;
  line.evaporated = summary.evaporated;
  if (summary.evaporated > 0) {
    line.share = 1.0;
  }
  return line;
}

}  // namespace tovimar
