// Speed of the diffusion model, end to end with its grid check: from the conditions to every
// printed point of the line, both grids, the kernels made anew for each run.
#include <benchmark/benchmark.h>

#include <vector>

#include "model/diffusion_parameters.h"
#include "model/diffusion_run.h"
#include "model/model.h"
#include "results/output_catalogue.h"
#include "support/defaults.h"

namespace {

using namespace tovimar;

// One whole diffusion run of the conditions; returns the last point's temperature.
double RunLine(const DryingConditions& c, const DiffusionNumerics& numerics,
               std::vector<DiffusionPoint>& points, DiffusionStatistics* statistics = nullptr) {
  const DiffusionModelParameters p = DefaultDiffusionParameters();
  const ConditionsThermodynamics thermo(c);
  DiffusionRun run(DiffusionInputsFrom(c, p), thermo, DiffusionStartFrom(c), numerics);
  const double interval = DiffusionInterval(c);
  for (int z = 1; z <= c.ZoneCount; ++z) {
    run.MarchZone(z, DiffusionZoneFrom(c, p, z), interval, c.ZoneStepCount[z], points);
  }
  if (statistics != nullptr) *statistics = run.Kernel().Statistics();
  benchmark::DoNotOptimize(run.GridCheck().content);
  return points[c.ZoneStepCount[c.ZoneCount] - 1].T;
}

void Measure(benchmark::State& state, const DryingConditions& c, DiffusionNumerics numerics) {
  std::vector<DiffusionPoint> points(StepsPerZone);
  DiffusionStatistics statistics;
  for (auto _ : state) {
    benchmark::DoNotOptimize(RunLine(c, numerics, points, &statistics));
  }
  state.counters["steps"] = static_cast<double>(statistics.steps);
  state.counters["rhs"] = static_cast<double>(statistics.rhsEvaluations);
  state.counters["jacobians"] = static_cast<double>(statistics.jacobianEvaluations);
}

// The default conditions: two zones of 30 m at 1 m/s, 300 printed points each.
void BM_DiffusionDefaultRun(benchmark::State& state) {
  Measure(state, test_support::DefaultConditions(), {});
}
BENCHMARK(BM_DiffusionDefaultRun)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The largest line: 14 zones of 1999 printed points.
void BM_DiffusionLargestRun(benchmark::State& state) {
  Measure(state, test_support::LargestRunSimulation().conditions, {});
}
BENCHMARK(BM_DiffusionLargestRun)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The same default run with the dense Jacobian (every entry by difference quotients): the
// measure against which the band treatment was chosen.
void BM_DiffusionDefaultRunDenseJacobian(benchmark::State& state) {
  DiffusionNumerics numerics;
  numerics.jacobian = DiffusionJacobian::Dense;
  Measure(state, test_support::DefaultConditions(), numerics);
}
BENCHMARK(BM_DiffusionDefaultRunDenseJacobian)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The cost of the cell count (the grid check doubles it).
void BM_DiffusionDefaultRunCells(benchmark::State& state) {
  DiffusionNumerics numerics;
  numerics.cells = static_cast<int>(state.range(0));
  Measure(state, test_support::DefaultConditions(), numerics);
}
BENCHMARK(BM_DiffusionDefaultRunCells)->Arg(20)->Arg(80)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

namespace {

// The diffusion model behind the seam, end to end from the conditions: the model made, every
// zone marched into the profile, the grid check marched beside it, and the results derived
// and judged (what a run of the batch tool does besides reading and writing files).
void MeasureModel(benchmark::State& state, tovimar::Simulation sim) {
  using namespace tovimar;
  for (auto _ : state) {
    sim.model = MakeDiffusionModel(DefaultDiffusionParameters());
    sim.model->PrepareRun(sim);
    for (std::int32_t z = 1; z <= sim.conditions.ZoneCount; ++z) {
      sim.model->MarchZone(sim, z, sim.conditions.ZoneStepCount[static_cast<std::size_t>(z)]);
    }
    const RunResults results = DeriveResults(sim);
    benchmark::DoNotOptimize(results.check.values.data());
  }
}

void BM_DiffusionModelDefaultRunEndToEnd(benchmark::State& state) {
  MeasureModel(state, tovimar::test_support::DefaultSimulation());
}
BENCHMARK(BM_DiffusionModelDefaultRunEndToEnd)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_DiffusionModelLargestRunEndToEnd(benchmark::State& state) {
  MeasureModel(state, tovimar::test_support::LargestRunSimulation());
}
BENCHMARK(BM_DiffusionModelLargestRunEndToEnd)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
