#include "support/defaults.h"

#include <cstdlib>
#include <string>

#include "input/field_catalogue.h"

namespace tovimar::test_support {

DryingConditions DefaultConditions() {
  DryingConditions c;
  for (const ConditionField& f : ConditionFields()) {
    if (!f.defaultText.empty()) {
      f.Value(c) = std::strtod(f.defaultText.c_str(), nullptr);
    }
  }
  c.ZoneCount = 2;
  c.ZoneStepCount[1] = 300;
  c.ZoneStepCount[2] = 300;
  c.ResultFileName = std::string(SaveFileNameDefault);
  return c;
}

Simulation DefaultSimulation() {
  Simulation sim;
  sim.conditions = DefaultConditions();
  return sim;
}

void UseUniformZones(DryingConditions& c, int zoneCount, double length, int steps) {
  c.ZoneCount = zoneCount;
  for (int z = 1; z <= zoneCount; ++z) {
    for (int column = 1; column <= ZoneColumns; ++column) {
      ZoneField(z, column).Value(c) = ZoneField(1, column).Value(c);
    }
    c.ZoneLength[z] = length;
    c.ZoneStepCount[z] = steps;
  }
}

Simulation LargestRunSimulation() {
  Simulation sim = DefaultSimulation();
  UseUniformZones(sim.conditions, MaxZones, 199.9, MaxStepsPerZone);
  return sim;
}

}  // namespace tovimar::test_support
