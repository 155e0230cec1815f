// The stability guard over a grid of Speeds and Increments of z, the boiling stop and
// record, and the step check.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "input/field_catalogue.h"
#include "model/step.h"
#include "model/step_check.h"
#include "run/run_sequence.h"
#include "support/defaults.h"

namespace tovimar {
namespace {

const std::string IncrementPhrase = "Increment of z of at most ";

std::string Text(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.17g", value);
  return buffer;
}

RunOutcome RunAt(Simulation& sim, double speed, const std::string& increment,
                 std::int64_t searchSteps = DefaultStableSearchSteps) {
  MapEntryTexts entries;
  entries.SetText("Edit6", Text(speed));
  entries.SetText("Edit20", increment);
  RunOptions options;
  options.writeResultFile = false;
  options.model.stableSearchSteps = searchSteps;
  return RunSimulation(sim, entries, options);
}

// The increment the guard's message names.
double NamedIncrement(const std::string& message) {
  const auto at = message.find(IncrementPhrase);
  if (at == std::string::npos) return -1;
  const std::size_t from = at + IncrementPhrase.size();
  return std::stod(message.substr(from, message.find(" m", from) - from));
}

// Every printed entry within 50 K below the coldest and 5 K above the hottest input
// temperature, and no negative residual ratio.
bool Bounded(const Simulation& sim) {
  const DryingConditions& c = sim.conditions;
  double low = c.InitialTemp, high = c.InitialTemp;
  for (int z = 1; z <= c.ZoneCount; ++z) {
    low = std::min(low, c.ZoneAirTemp[z]);
    high = std::max(high, c.ZoneAirTemp[z]);
  }
  const DryingProfile& p = *sim.profile;
  for (int z = 1; z <= c.ZoneCount; ++z) {
    for (int k = 0; k <= c.ZoneStepCount[z]; ++k) {
      const double T = p.ProfileTemp[z][k];
      if (!(T >= low - 50 && T <= high + 5) || !(p.ProfileResidual1[z][k] >= 0) ||
          !(p.ProfileResidual2[z][k] >= 0)) {
        return false;
      }
    }
  }
  return true;
}

TEST(StabilityGuard, GridOfSpeedsAndIncrements) {
  constexpr int N = 20;
  int completed = 0, refused = 0, stopped = 0, ranOut = 0, rerunRanOut = 0, rerunCompleted = 0, rerunRefused = 0;
  Simulation sim;
  for (int i = 0; i < N; ++i) {
    const double speed = 0.001 * std::pow(2000.0, i / double(N - 1));
    for (int j = 0; j < N; ++j) {
      const double increment = 0.01 * std::pow(100.0, j / double(N - 1));
      const RunOutcome outcome = RunAt(sim, speed, Text(increment));
      SCOPED_TRACE("Speed " + Text(speed) + ", Increment of z " + Text(increment));
      if (outcome.status == RunStatus::StoppedAtInput) {
        ++refused;
        continue;
      }
      if (outcome.completed()) {
        ++completed;
        EXPECT_TRUE(Bounded(sim));
        continue;
      }
      if (outcome.message.find("logarithm of a non-positive volume fraction") != std::string::npos) {
        ++ranOut;  // a solvent emptied by a step the guard leaves to the logarithm
        continue;
      }
      ASSERT_EQ(outcome.status, RunStatus::Unstable) << outcome.message;
      ++stopped;
      const auto at = outcome.message.find(IncrementPhrase);
      ASSERT_NE(at, std::string::npos) << outcome.message;
      const std::size_t from = at + IncrementPhrase.size();
      const std::string named = outcome.message.substr(from, outcome.message.find(" m", from) - from);
      ASSERT_LT(std::stod(named), increment);
      const RunOutcome rerun = RunAt(sim, speed, named);
      if (rerun.status == RunStatus::StoppedAtInput) {
        ++rerunRefused;  // the named increment needs more than 1999 steps in a zone
        continue;
      }
      if (rerun.message.find("logarithm of a non-positive volume fraction") != std::string::npos) {
        ++rerunRanOut;  // the guard does not yet keep a solvent's weight positive
        continue;
      }
      EXPECT_TRUE(rerun.completed()) << named << ": " << rerun.message;
      EXPECT_TRUE(Bounded(sim)) << named;
      rerunCompleted += rerun.completed() ? 1 : 0;
    }
  }
  std::printf("grid: %d completed, %d refused for their step count, %d stopped by the guard, "
              "%d ran out of a solvent; reruns: %d completed, %d refused for their step count, "
              "%d ran out of a solvent\n",
              completed, refused, stopped, ranOut, rerunCompleted, rerunRefused, rerunRanOut);
  EXPECT_EQ(completed + refused + stopped + ranOut, N * N);
  EXPECT_GT(stopped, 0);
  EXPECT_GT(rerunCompleted, 0);
}

TEST(StabilityGuard, TheReportedSlowLineStops) {
  Simulation sim;
  const RunOutcome outcome = RunAt(sim, 0.02, "0.1");
  EXPECT_EQ(outcome.status, RunStatus::Unstable);
  EXPECT_EQ(outcome.message.rfind("Unstable integration in zone 1, step ", 0), 0u) << outcome.message;
}

// However small the search's budget, the run stops with the guard's message naming an
// increment; a search cut short names one no smaller than the full search's.
TEST(StabilityGuard, ASmallSearchBudgetEndsInTheSameMessage) {
  Simulation sim;
  const double full = NamedIncrement(RunAt(sim, 0.02, "0.1").message);
  ASSERT_GT(full, 0);
  for (const std::int64_t budget : {std::int64_t{20'000}, std::int64_t{0}}) {
    const RunOutcome outcome = RunAt(sim, 0.02, "0.1", budget);
    SCOPED_TRACE("budget " + std::to_string(budget));
    EXPECT_EQ(outcome.status, RunStatus::Unstable);
    EXPECT_EQ(outcome.message.rfind("Unstable integration in zone 1, step ", 0), 0u) << outcome.message;
    EXPECT_GE(NamedIncrement(outcome.message), full) << outcome.message;
    EXPECT_LT(NamedIncrement(outcome.message), 0.1) << outcome.message;
  }
}

// A web without heat capacity is no state the guard can judge: the run stops on the step's
// own division by it, in the first step.
TEST(StabilityGuard, AWebWithoutHeatCapacityIsAnArithmeticFault) {
  MapEntryTexts entries;
  for (const char* name : {"Solvent1Cp", "Solvent2Cp", "PolymerCp", "BaseFilmCp"}) {
    entries.SetText(FindField(name)->entryName, "0");
  }
  RunOptions options;
  options.writeResultFile = false;
  Simulation sim;
  const RunOutcome outcome = RunSimulation(sim, entries, options);
  EXPECT_EQ(outcome.status, RunStatus::ArithmeticFault);
  EXPECT_EQ(outcome.message.rfind("Arithmetic error in zone 1, step 1: ", 0), 0u) << outcome.message;
  EXPECT_NE(outcome.message.find("heat capacity of the web"), std::string::npos) << outcome.message;
}

}  // namespace
}  // namespace tovimar

namespace tovimar {
namespace {

// A coating that boils while it still dries stops the run; one that exceeds the atmosphere
// only where it no longer dries completes with a warning.
TEST(BoilingCoating, StopsOrWarns) {
  const struct {
    const char* name;
    std::vector<std::pair<std::string, std::string>> texts;
    RunStatus status;
    std::string message;
    std::vector<std::string> warnings;
  } cases[] = {
      {"hot entrance", {{"Edit7", "100"}}, RunStatus::Boiling,
       "The coating boils in zone 1, step 1: the vapour pressure of solvent-1 is 804 mmHg at "
       "100.0 \u00B0C; the model does not hold for a boiling coating.",
       {}},
      {"hot zones", {{"Edit8", "200"}, {"Edit21", "200"}}, RunStatus::Completed, "",
       {"The coating's vapour pressure exceeds the atmosphere from zone 1, step 68 (solvent-2, "
        "777 mmHg at 178.8 \u00B0C): blisters are likely."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MapEntryTexts entries;
    for (const auto& [entry, text] : c.texts) entries.SetText(entry, text);
    Simulation sim;
    RunOptions options;
    options.writeResultFile = false;
    const RunOutcome outcome = RunSimulation(sim, entries, options);
    EXPECT_EQ(outcome.status, c.status);
    EXPECT_EQ(outcome.message, c.message);
    EXPECT_EQ(outcome.warnings, c.warnings);
  }
}

// The default run's step check, and the same numbers whether the halved run marched beside
// the run or after it.
TEST(StepCheck, DefaultRun) {
  Simulation sim;
  RunOptions options;
  options.writeResultFile = false;
  ASSERT_TRUE(RunSimulation(sim, MapEntryTexts{}, options).completed());
  const StepCheckResult check = StepCheck(sim);
  ASSERT_TRUE(check.completed);
  EXPECT_NEAR(check.maxTempChange, 0.0382, 5e-5);
  EXPECT_NEAR(check.maxResidualChange, 0.00127, 5e-6);
  const StepCheckResult beside = CompareHalved(sim, MarchHalved(sim.conditions));
  EXPECT_EQ(beside.maxTempChange, check.maxTempChange);
  EXPECT_FALSE(StepCheckWarning(check, 0.1).has_value());
  EXPECT_EQ(StepCheckWarning({true, 0.6, 0.001, ""}, 0.1).value(),
            "The profile is not yet accurate: halving the Increment of z changes the web "
            "temperature by up to 0.6 K. Try an Increment of z of 0.05 m.");
}

}  // namespace
}  // namespace tovimar
