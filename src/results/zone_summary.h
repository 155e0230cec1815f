#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "results/line_profile.h"

namespace tovimar {

// The dry point: the first point along the line whose drying-speed correction has reached
// 0 (the total solvent fraction has fallen below We).
struct DryPoint {
  std::int32_t zone = 0;
  std::int32_t step = 0;
  double position = 0;  // m from the entrance of zone 1
  double time = 0;      // s
};

// The inside of the coating at a zone's exit (see ProfilePoint).
struct CoatingExit {
  double surface1 = 0, surface2 = 0;
  double base1 = 0, base2 = 0;
  double skinRatio = 0;
};

struct ZoneSummary {
  std::int32_t zone = 0;
  std::int32_t steps = 0;
  double entryPosition = 0, exitPosition = 0;  // m from the entrance of zone 1
  double exitTemp = 0;                          // deg C
  double exitResidual1 = 0, exitResidual2 = 0;
  double exitWeight1 = 0, exitWeight2 = 0;      // kg/m2
  // Solvent that left the coating in the zone, g/m2: (weight at entry - weight at exit)
  // x 1000. Negative when the solvent condenses onto the web.
  double evaporated1 = 0, evaporated2 = 0;
  double evaporated = 0;  // evaporated1 + evaporated2
  // The zone's part of the net solvent evaporated over the whole line,
  // evaporated / ProfileSummary::evaporated, so that the shares of all zones add up to 1
  // and a condensing zone has a negative share. None when the line as a whole evaporated
  // nothing or took up solvent (net total zero or negative): there is no whole to share.
  std::optional<double> share;
  // The inside of the coating at the exit; none where the model does not resolve it.
  std::optional<CoatingExit> exitInside;
};

struct ProfileSummary {
  std::vector<ZoneSummary> zones;
  // Over the line: the sums of the zones' amounts, g/m2.
  double evaporated1 = 0, evaporated2 = 0, evaporated = 0;
  std::optional<DryPoint> dryPoint;  // none: not reached
};

ProfileSummary SummarizeProfile(const LineProfile& profile);

// The whole line as one zone: its exit is the line end, its amounts are the line's sums and
// its share is all of it (none when the line evaporated no solvent). Zone number 0.
ZoneSummary LineAsZone(const ProfileSummary& summary);

}  // namespace tovimar
