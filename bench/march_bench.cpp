// Speed of the march over the largest run: 14 zones of 1999 steps.
#include <benchmark/benchmark.h>

#include "model/model.h"
#include "model/step_check.h"
#include "results/judging.h"
#include "results/output_catalogue.h"
#include "run/run_bounds.h"
#include "results/zone_summary.h"
#include "support/defaults.h"

namespace {

using namespace tovimar;

void BM_MarchLargestRun(benchmark::State& state) {
  Simulation sim = test_support::LargestRunSimulation();
  for (auto _ : state) {
    PrepareInitialState(sim);
    for (int z = 1; z <= MaxZones; ++z) {
      MarchZone(sim, z, MaxStepsPerZone);
      CarryToNextZone(sim, z, MaxStepsPerZone);
    }
    benchmark::DoNotOptimize(sim.profile->ProfileTemp[MaxZones][MaxStepsPerZone]);
  }
  const double steps = static_cast<double>(MaxZones) * MaxStepsPerZone;
  // Seconds per step, shown with an SI prefix (n = nanoseconds).
  state.counters["time_per_step"] = benchmark::Counter(
      steps * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
}
BENCHMARK(BM_MarchLargestRun)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

namespace {

// The step check of the largest run: the whole line again with half the step, in memory.
void BM_StepCheckLargestRun(benchmark::State& state) {
  Simulation sim = tovimar::test_support::LargestRunSimulation();
  PrepareInitialState(sim);
  for (int z = 1; z <= MaxZones; ++z) {
    MarchZone(sim, z, MaxStepsPerZone);
    CarryToNextZone(sim, z, MaxStepsPerZone);
  }
  for (auto _ : state) {
    const StepCheckResult check = StepCheck(sim);
    benchmark::DoNotOptimize(check.maxTempChange);
  }
}
BENCHMARK(BM_StepCheckLargestRun)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Judging the largest run: residual solvent, bubble temperatures, exhaust.
void BM_JudgeLargestRun(benchmark::State& state) {
  Simulation sim = tovimar::test_support::LargestRunSimulation();
  PrepareInitialState(sim);
  for (int z = 1; z <= MaxZones; ++z) {
    MarchZone(sim, z, MaxStepsPerZone);
    CarryToNextZone(sim, z, MaxStepsPerZone);
  }
  const LineProfile line = ProfileAlongLine(sim);
  const ProfileSummary summary = SummarizeProfile(line);
  RunJudgement judgement;
  for (auto _ : state) {
    JudgeRun(sim.conditions, LineSettings{}, line, summary, judgement);
    benchmark::DoNotOptimize(judgement.line.maxWebTemp);
  }
}
BENCHMARK(BM_JudgeLargestRun)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

namespace {

// The checks every completed run now passes: the physical bounds of the profile and the
// finiteness of every quantity derived from it, on the largest run.
void BM_RunChecksLargestRun(benchmark::State& state) {
  Simulation sim = tovimar::test_support::LargestRunSimulation();
  PrepareInitialState(sim);
  for (int z = 1; z <= MaxZones; ++z) {
    MarchZone(sim, z, MaxStepsPerZone);
    CarryToNextZone(sim, z, MaxStepsPerZone);
  }
  const RunResults results = DeriveResults(sim);
  for (auto _ : state) {
    const std::vector<std::string> warnings = BoundsWarnings(sim);
    CheckFinite(results);
    benchmark::DoNotOptimize(warnings.size());
  }
}
BENCHMARK(BM_RunChecksLargestRun)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
