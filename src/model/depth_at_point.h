#pragma once

#include <cstdint>

#include "model/conditions.h"
#include "model/diffusion_parameters.h"
#include "model/drying_model.h"

// The coating's profile through its thickness at any printed point of a diffusion run,
// without a run keeping every point's profile: the kernel is marched again from the run's
// conditions up to the point.
namespace tovimar {

// The profile at entry `step` (0..ZoneStepCount[zone]) of zone `zone` (1..ZoneCount) of the
// diffusion run of `c` (read and complete, as the run left them) with parameters `p`. Entry 0
// of zone 1 is the coating as it enters; entry 0 of a later zone is the exit of the zone
// before it. The march takes the run's path (whole zones, each zone's exit as its stop), so
// the profile is the run's to the last bit. Throws StepCountError for a point the run does
// not have, ArithmeticError when the kernel cannot march (as the run itself would).
DepthProfile DepthAtPoint(const DryingConditions& c, const DiffusionModelParameters& p, std::int32_t zone,
                          std::int32_t step);

}  // namespace tovimar
