#pragma once

#include "model/model.h"

namespace tovimar::test_support {

// The conditions a fresh window gives (two zones of 300 steps), built straight from the
// field catalogue's default texts without the condition reader.
DryingConditions DefaultConditions();

// A simulation holding the default conditions.
Simulation DefaultSimulation();

}  // namespace tovimar::test_support
