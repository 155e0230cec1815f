// The through-thickness profile at one printed point, marched again from the conditions.
#include "model/depth_at_point.h"

#include <string>
#include <vector>

#include "model/diffusion_kernel.h"
#include "model/errors.h"

namespace tovimar {

DepthProfile DepthAtPoint(const DryingConditions& c, const DiffusionModelParameters& p, std::int32_t zone,
                          std::int32_t step) {
  if (zone < 1 || zone > c.ZoneCount) {
    throw StepCountError("Zone " + std::to_string(zone) + " is not a zone of the run; its zones are 1 to " +
                         std::to_string(c.ZoneCount) + ".");
  }
  const std::int32_t steps = c.ZoneStepCount[static_cast<std::size_t>(zone)];
  if (step < 0 || step > steps) {
    throw StepCountError("Zone " + std::to_string(zone) + " has steps 0 to " + std::to_string(steps) +
                             ", not " + std::to_string(step) + ".",
                         {zone, step});
  }
  const ConditionsThermodynamics thermo(c);
  DiffusionKernel kernel(DiffusionInputsFrom(c, p), thermo, DiffusionStartFrom(c), DiffusionNumericsFrom(p));
  const double interval = DiffusionInterval(c);
  std::vector<DiffusionPoint> points(StepsPerZone);
  for (std::int32_t z = 1; z < zone; ++z) {
    kernel.MarchZone(z, DiffusionZoneFrom(c, p, z), interval, c.ZoneStepCount[static_cast<std::size_t>(z)], points);
  }
  const auto nodes = static_cast<std::size_t>(kernel.Nodes());
  DepthProfile profile{zone, step, std::vector<DepthPoint>(nodes)};
  if (step == 0) {
    kernel.Profile(profile.nodes);
    return profile;
  }
  // The zone is marched whole, to its own exit, as the run marched it: a march that stopped
  // at `step` would let the integrator take other steps near its end. Only this zone's
  // profiles are kept, and only for the time of the march.
  std::vector<DepthPoint> zoneProfiles(nodes * static_cast<std::size_t>(steps));
  kernel.MarchZone(zone, DiffusionZoneFrom(c, p, zone), interval, steps, points, zoneProfiles);
  const auto first = zoneProfiles.begin() + static_cast<std::ptrdiff_t>(nodes * static_cast<std::size_t>(step - 1));
  profile.nodes.assign(first, first + static_cast<std::ptrdiff_t>(nodes));
  return profile;
}

}  // namespace tovimar
