#pragma once

#include <cstdint>
#include <functional>

#include "model/step.h"

namespace tovimar {

// Marches every active zone of `c` in memory, not bound by the profile's rows: from the
// entrance of zone 1 (the initial state as PrepareInitialState forms it), zone after zone,
// `steps(zone)` steps of h seconds each, the state carried on from zone to zone. `visit` is
// called after every step with the zone, the step's number in the zone (from 1) and the new
// state. The stability guard judges each step when `guard` is set. Throws as the march does
// (ArithmeticError, InstabilityError, BoilingError); writes nothing.
void MarchLineInMemory(const DryingConditions& c, double h,
                       const std::function<std::int64_t(std::int32_t zone)>& steps, bool guard,
                       const std::function<void(std::int32_t zone, std::int64_t step,
                                                const WebState& state)>& visit);

}  // namespace tovimar
