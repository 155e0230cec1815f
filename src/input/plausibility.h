#pragma once

#include <string>
#include <vector>

#include "input/condition_overrides.h"
#include "input/entry_texts.h"
#include "model/conditions.h"

namespace tovimar {

// Entries that can be read but are unlikely to be meant, as warning texts (without a
// "Warning: " prefix), in a fixed order: the weight ratios that do not add up to 1 within
// 0.001, temperatures below absolute zero, negative weights, lengths, the Speed,
// diffusivities, weight ratios, specific heats, heats of vaporization, Keff, absolute
// humidities and heat-transfer coefficients (named by their window captions), zone lengths
// that are not a whole number of Increments of z (with the length each marches), and zones
// filled in after the end of the zone chain. Never refuses anything. `c` holds the
// conditions as read (its ZoneCount ends the chain); `entries` the texts of the window and
// `overrides` the values that stood in for some of them (a value fills its entry in).
std::vector<std::string> PlausibilityWarnings(const DryingConditions& c,
                                              const EntryTexts& entries,
                                              const ConditionOverrides& overrides = {});

}  // namespace tovimar
