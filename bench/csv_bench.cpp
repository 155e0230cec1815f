// Speed of the profile CSV of the largest run (14 zones of 1999 steps: 28,000 records of
// 16 numbers in their shortest round-trip form).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "format/file_writer.h"

#include "model/model.h"
#include "results/output_catalogue.h"
#include "results/profile_csv.h"
#include "support/defaults.h"

namespace {

using namespace tovimar;

const RunResults& LargestRunResults() {
  static const RunResults results = [] {
    Simulation sim = test_support::LargestRunSimulation();
    PrepareInitialState(sim);
    for (int z = 1; z <= MaxZones; ++z) {
      MarchZone(sim, z, MaxStepsPerZone);
      CarryToNextZone(sim, z, MaxStepsPerZone);
    }
    const std::unique_ptr<ModelCheck> check = sim.model->MarchCheck(sim.conditions);
    return DeriveResults(sim, LineSettings{}, check.get());
  }();
  return results;
}

void BM_ProfileCsvLargestRun(benchmark::State& state) {
  const RunResults& results = LargestRunResults();
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string csv = FormatProfileCsv(results);
    bytes = csv.size();
    benchmark::DoNotOptimize(csv.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ProfileCsvLargestRun)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The profile CSV written as tovimar-batch --csv writes it: formatted, written to a
// temporary file beside the target in the temporary directory, flushed to the disk and
// renamed over the earlier one. Wall time: the flush waits for the disk.
void BM_WriteProfileCsvLargestRun(benchmark::State& state) {
  const RunResults& results = LargestRunResults();
  const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("tovimar_csv_bench_" + std::to_string(::getpid()) + ".csv");
  for (auto _ : state) {
    try {
      WriteProfileCsv(path.string(), results);
    } catch (const FileError& e) {
      state.SkipWithError(e.what());
      break;
    }
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_WriteProfileCsvLargestRun)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
