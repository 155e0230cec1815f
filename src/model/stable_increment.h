#pragma once

#include <cstdint>
#include <string>

#include "model/model.h"

namespace tovimar {

// An Increment of z for a run the stability guard stopped, checked by marching the whole line
// with it in memory.
struct StableIncrement {
  double increment = 0;      // m, two significant digits
  bool verified = false;     // the whole line marched with it, guard on, without a stop
  std::int32_t steps = 0;    // the most steps a zone needs with it
};

// Starting from `first` (the guard's suggestion where it stopped), marches the whole line in
// memory, not bound by the profile's rows; each time the guard stops the march again, takes
// its smaller suggestion, until the line passes or a zone would need far more steps than a
// zone of the profile can hold. The limit is local, so the state the run stopped at does not
// decide alone: the web may heat further on to where a still shorter step is needed.
// The trials together march at most `maxSteps` steps; a trial that would go beyond them is
// not marched, and the last increment is kept unchecked.
StableIncrement FindStableIncrement(const DryingConditions& c, double first,
                                    std::int64_t maxSteps = DefaultStableSearchSteps);

// The guard's message for the run, naming the increment found: "Unstable integration in zone
// 1, step 7: a step of 5 s is longer than the stable limit of 1.3 s here. Use an Increment
// of z of at most 0.026 m at this Speed." When a zone would need more than 1999 steps with
// it, a sentence says so. `maxSteps` bounds the search as in FindStableIncrement.
std::string UnstableRunMessage(const DryingConditions& c, std::int32_t zone, std::int32_t step,
                               double stepTime, double limit,
                               std::int64_t maxSteps = DefaultStableSearchSteps);

}  // namespace tovimar
