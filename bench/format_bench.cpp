// Speed of the number format and of writing the result tables of the largest run
// (14 zones of 1999 steps).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <array>
#include <filesystem>
#include <string>

#include "input/user_messages.h"
#include "model/model.h"
#include "format/fixed_format.h"
#include "format/file_writer.h"
#include "run/result_table.h"
#include "support/defaults.h"

namespace {

using namespace tovimar;

struct FormatCase {
  double v;
  int P;
  int D;
};

// Values as they occur in result tables and condition sections, with their formats, and a
// few that take the rarer paths (rounding to zero, carries, the exponent form).
constexpr std::array<FormatCase, 16> Mix{{
    {61.3000000000001, 8, 3},
    {30.000000000000004, 7, 3},
    {58.127384920123, 6, 2},
    {0.041700000000000001, 7, 5},
    {0.83129847561234, 6, 4},
    {0.0152900000000000015, 7, 5},
    {1.0, 6, 4},
    {12345.6789, 8, 3},
    {0.00000903, 11, 9},
    {30000.0, 8, 1},
    {1344.8, 8, 3},
    {-5.0, 6, 2},
    {-0.0004, 6, 3},
    {9.99951171875, 4, 3},
    {123456789.0, 8, 3},
    {3.0000000000000004e-7, 7, 5},
}};

void BM_FixedFormat(benchmark::State& state) {
  std::string out;
  out.reserve(64);
  for (auto _ : state) {
    for (const FormatCase& c : Mix) {
      out.clear();
      AppendFixedFormat(out, c.v, c.P, c.D);
      benchmark::DoNotOptimize(out.data());
    }
  }
  // Seconds per value, shown with an SI prefix (n = nanoseconds).
  state.counters["time_per_value"] = benchmark::Counter(
      static_cast<double>(Mix.size()) * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
}
BENCHMARK(BM_FixedFormat)->Repetitions(5)->ReportAggregatesOnly(true);

// The default coating through 14 zones of 1999 steps each, marched once.
const Simulation& MarchedLargestRun() {
  static const Simulation sim = [] {
    Simulation s = test_support::LargestRunSimulation();
    PrepareInitialState(s);
    for (int z = 1; z <= MaxZones; ++z) {
      MarchZone(s, z, MaxStepsPerZone);
      CarryToNextZone(s, z, MaxStepsPerZone);
    }
    return s;
  }();
  return sim;
}

// Formatting the 14 tables into one string.
void BM_FormatLargestRunTables(benchmark::State& state) {
  const Simulation& sim = MarchedLargestRun();
  std::string text;
  for (auto _ : state) {
    text.clear();
    for (int z = 1; z <= MaxZones; ++z) {
      FormatResultTable(text, sim, z, MaxStepsPerZone);
    }
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_FormatLargestRunTables)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Formatting the 14 tables into one string and writing it to a file in one write.
void BM_WriteLargestRunTables(benchmark::State& state) {
  const Simulation& sim = MarchedLargestRun();
  const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("tovimar_format_bench_" + std::to_string(::getpid()));
  const ResultFile file(path.string());
  std::string text;
  for (auto _ : state) {
    text.clear();
    for (int z = 1; z <= MaxZones; ++z) {
      FormatResultTable(text, sim, z, MaxStepsPerZone);
    }
    try {
      file.Create(text);
    } catch (const FileError& e) {
      state.SkipWithError(e.what());
      break;
    }
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_WriteLargestRunTables)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
