// Checks of a completed run against what drying can do: a web hotter or colder than
// anything around it without a phase change to explain it, and solvent taken up from air
// that holds none.
#include "run/run_bounds.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "model/number_text.h"

namespace tovimar {

namespace {

// Rounding in the integrator moves a temperature by far less than this.
constexpr double TemperatureTolerance = 1e-6;  // K
// A weight that rises by less than this part of the solvent's initial weight is rounding.
constexpr double WeightTolerance = 1e-12;

std::string Where(std::int32_t zone, std::int32_t step) {
  return "in zone " + std::to_string(zone) + ", step " + std::to_string(step);
}

}  // namespace

std::vector<std::string> BoundsWarnings(const Simulation& sim) {
  const DryingConditions& c = sim.conditions;
  const DryingProfile& p = *sim.profile;
  double lowest = c.InitialTemp;
  double highest = c.InitialTemp;
  for (std::int32_t zone = 1; zone <= c.ZoneCount; ++zone) {
    lowest = std::min(lowest, c.ZoneAirTemp[static_cast<std::size_t>(zone)]);
    highest = std::max(highest, c.ZoneAirTemp[static_cast<std::size_t>(zone)]);
  }
  const std::array<double, 2> initialWeight{c.CoatingWeight0 * c.Solvent1Ratio0,
                                            c.CoatingWeight0 * c.Solvent2Ratio0};
  const std::array<const DryingProfile::Rows*, 2> weights{&p.ProfileSolvent1Weight,
                                                          &p.ProfileSolvent2Weight};
  const std::array<const ZoneArray*, 2> humidities{&c.ZoneHumidity1, &c.ZoneHumidity2};

  std::optional<std::string> hot, cold;
  std::array<std::optional<std::string>, 2> taken;
  for (std::int32_t zone = 1; zone <= c.ZoneCount; ++zone) {
    const auto z = static_cast<std::size_t>(zone);
    const std::int32_t steps = c.ZoneStepCount[z];
    for (std::int32_t step = 1; step <= steps; ++step) {
      const auto k = static_cast<std::size_t>(step);
      bool evaporates = false;  // some solvent leaves the web in this step
      bool condensesFromAir = false;  // some solvent the air holds enters it
      for (std::size_t s = 0; s < 2; ++s) {
        const double before = (*weights[s])[z][k - 1];
        const double after = (*weights[s])[z][k];
        const bool airHoldsIt = (*humidities[s])[z] > 0;
        evaporates = evaporates || after < before;
        condensesFromAir = condensesFromAir || (airHoldsIt && after > before);
        if (!taken[s] && !airHoldsIt && after - before > WeightTolerance * std::fabs(initialWeight[s])) {
          taken[s] = "The solvent-" + std::to_string(s + 1) + " weight rises " + Where(zone, step) +
                     " (from " + ShortNumber(before, 6) + " to " + ShortNumber(after, 6) +
                     " kg/m2) although the zone's air holds none of that solvent.";
        }
      }
      const double before = p.ProfileTemp[z][k - 1];
      const double temp = p.ProfileTemp[z][k];
      if (!hot && temp > highest + TemperatureTolerance && temp > before && !condensesFromAir) {
        hot = "The web heats to " + FixedNumber(temp, 1) + " \u00B0C " + Where(zone, step) +
              ", above every air temperature and the initial temperature (" +
              FixedNumber(highest, 1) + " \u00B0C at most), with no solvent to condense from the air.";
      }
      if (!cold && temp < lowest - TemperatureTolerance && temp < before && !evaporates) {
        cold = "The web cools to " + FixedNumber(temp, 1) + " \u00B0C " + Where(zone, step) +
               ", below every air temperature and the initial temperature (" +
               FixedNumber(lowest, 1) + " \u00B0C at least), with no solvent evaporating.";
      }
    }
  }
  std::vector<std::string> warnings;
  for (std::optional<std::string>* found : {&hot, &cold, &taken[0], &taken[1]}) {
    if (*found) {
      warnings.push_back(std::move(**found));
    }
  }
  return warnings;
}

}  // namespace tovimar
