#pragma once

#include <string>
#include <vector>

#include "model/model.h"

namespace tovimar {

// What the physics of drying rules out, checked over the run that `sim` last completed, as
// warning texts (without a "Warning: " prefix) naming the zone and the first step where it
// happens:
// - the web temperature rising above every air temperature and the initial temperature
//   while no solvent condenses from air that holds it (nothing else could heat it);
// - the web temperature falling below every one of them while no solvent evaporates
//   (evaporation is the only cooling the air cannot explain);
// - a solvent's weight rising in a zone whose air holds none of that solvent.
// One warning of each kind at most, in that order (solvent-1 before solvent-2).
std::vector<std::string> BoundsWarnings(const Simulation& sim);

}  // namespace tovimar
