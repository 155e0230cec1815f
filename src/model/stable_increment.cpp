#include "model/stable_increment.h"

#include <cmath>

#include "model/stability.h"
#include "model/memory_march.h"

namespace tovimar {

namespace {

// The search marches at most a budget of steps over all its trials (by default about a
// second of marching): an increment that needs more is far too small for the profile's rows
// anyway, and a run stopped by the guard answers within that second however many trials
// it takes.
constexpr int MaxTrials = 12;

// The step count of a zone with the increment, rounded as the condition reader rounds it;
// -1 when it is no count (a huge quotient of either sign would not fit the integer).
std::int64_t StepsOf(double zoneLength, double increment) {
  const long double quotient = static_cast<long double>(zoneLength) / static_cast<long double>(increment);
  return std::isfinite(quotient) && std::fabs(quotient) < 1e12L ? static_cast<std::int64_t>(std::nearbyint(quotient))
                                                                 : -1;
}

// Marches every active zone with the increment, the guard on. Returns 0 when the line
// passes, the guard's suggestion when it stops, and -1 when the march cannot tell (another
// fault, too many steps, or a stop whose limit names no increment).
// `budget` is the steps the search may still march; a trial takes its whole line from it.
double TryIncrement(const DryingConditions& c, double increment, std::int32_t& mostSteps,
                    std::int64_t& budget) {
  DryingConditions trial = c;
  trial.StepLength = increment;
  std::int64_t total = 0;
  mostSteps = 0;
  for (std::int32_t z = 1; z <= c.ZoneCount; ++z) {
    const std::int64_t n = StepsOf(c.ZoneLength[static_cast<std::size_t>(z)], increment);
    if (n < 0) {
      return -1;
    }
    total += n;
    mostSteps = static_cast<std::int32_t>(std::max<std::int64_t>(mostSteps, std::min<std::int64_t>(n, INT32_MAX)));
  }
  if (total > budget) {
    return -1;
  }
  budget -= total;
  try {
    MarchLineInMemory(trial, arith::Div(increment, c.LineSpeed, "the time increment"),
                      [&](std::int32_t z) { return StepsOf(c.ZoneLength[static_cast<std::size_t>(z)], increment); },
                      true, [](std::int32_t, std::int64_t, const WebState&) {});
  } catch (const InstabilityError& e) {
    // A suggestion of 0 (a limit too short to give a distance) is no increment to try.
    const double suggestion = SuggestedIncrement(e.limit(), c.LineSpeed);
    return suggestion > 0 ? suggestion : -1;
  } catch (const UserError&) {
    return -1;
  }
  return 0;
}

}  // namespace

StableIncrement FindStableIncrement(const DryingConditions& c, double first, std::int64_t maxSteps) {
  StableIncrement found;
  found.increment = first;
  std::int64_t budget = maxSteps;
  for (int trial = 0; trial < MaxTrials && found.increment > 0; ++trial) {
    const double next = TryIncrement(c, found.increment, found.steps, budget);
    if (next == 0) {
      found.verified = true;
      return found;
    }
    if (next < 0 || next >= found.increment) {
      // The march cannot tell, or the guard names no smaller step: keep the last one and
      // say that it is not checked. A suggestion that does not shrink still takes one
      // notch down, so that the search makes progress.
      if (next < 0) {
        return found;
      }
      found.increment = RoundDownTwoDigits(found.increment * 0.9);
      continue;
    }
    found.increment = next;
  }
  return found;
}

std::string UnstableRunMessage(const DryingConditions& c, std::int32_t zone, std::int32_t step,
                               double stepTime, double limit, std::int64_t maxSteps) {
  const StableIncrement found = FindStableIncrement(c, SuggestedIncrement(limit, c.LineSpeed), maxSteps);
  std::string message = InstabilityMessage(zone, step, stepTime, limit, found.increment);
  if (found.increment > 0 && found.steps > MaxStepsPerZone) {
    message += " A zone would then need " + std::to_string(found.steps) +
               " steps, more than the " + std::to_string(MaxStepsPerZone) +
               " a zone can have: shorten the zones or raise the Speed.";
  }
  return message;
}

}  // namespace tovimar
