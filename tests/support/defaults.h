#pragma once

#include "model/model.h"

namespace tovimar::test_support {

// The conditions a fresh window gives (two zones of 300 steps), built straight from the
// field catalogue's default texts without the condition reader.
DryingConditions DefaultConditions();

// A simulation holding the default conditions.
Simulation DefaultSimulation();

// Makes zones 1..zoneCount copies of the default zone 1, each `length` long and marched in
// `steps` steps.
void UseUniformZones(DryingConditions& c, int zoneCount, double length, int steps);

// The largest run: the default coating through 14 zones of 199.9 m in 1999 steps each.
Simulation LargestRunSimulation();

}  // namespace tovimar::test_support
