#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "input/entry_texts.h"
#include "results/summary_csv.h"
#include "run/run_sequence.h"

namespace tovimar {

// One swept condition: NAME=FROM:TO:STEP gives the values FROM + i x STEP, i = 0, 1, ...,
// up to and including TO (a value beyond TO by less than |STEP| x 1e-9 still counts, so
// that 40:89.95:0.05 ends at 89.95 although 0.05 is not exact). Each value is formed from
// i, not by adding STEP again and again, so no error accumulates.
struct SweepAxis {
  std::string name;       // NAME as given
  std::string entryName;  // the window entry it sets, e.g. "Edit8"
  double from = 0, to = 0, step = 0;
  std::size_t count = 0;  // number of values, at least 1
  // The decimals of FROM and STEP as written (the more of the two): "0.1" and "0.05" give 2,
  // "1e-3" gives 3. Each value is rounded to them, so that it is the decimal it stands for.
  int decimals = 0;

  // FROM + i x STEP rounded to `decimals` decimals: 0.3, not 0.30000000000000004.
  [[nodiscard]] double Value(std::size_t i) const;
  // The text the entry gets for value i: the shortest round-trip form of Value(i).
  [[nodiscard]] std::string ValueText(std::size_t i) const;
};

// A sweep is refused when it would take more runs than this.
inline constexpr std::size_t MaxSweepRuns = 1000000;

// Reads "NAME=FROM:TO:STEP". NAME is a condition field's entry name ("Edit8") or record
// field name ("ZoneAirTemp[1]"); FROM, TO and STEP are numbers as a condition entry takes
// them (a point as the decimal separator). STEP must not be 0 and must lead from FROM
// towards TO (FROM = TO gives one value with any STEP). Nothing (and `error` set) when the
// text is not such a sweep.
std::optional<SweepAxis> ParseSweepAxis(std::string_view sweepText, std::string& error);

// The number of runs of a sweep over `axes` (one axis, or two for a grid); nothing (and
// `error` set) when there are no axes, more than two, the same entry twice, or more than
// MaxSweepRuns runs.
std::optional<std::size_t> SweepRunCount(const std::vector<SweepAxis>& axes, std::string& error);

struct SweepRunResult {
  std::vector<std::string> valueTexts;  // the text given to each axis's entry
  RunOutcome outcome;
  SummaryValues values;                 // the summary's values of a completed run
};

struct SweepOptions {
  // Where each run writes its result file ("result-0001.txt", ...); empty: none is written.
  // Each is written under a temporary name and renamed once its run has ended.
  std::string resultDirectory;
  // Worker threads; 0: one per processor core.
  unsigned threads = 0;
  // The line settings every run is judged against.
  LineSettings line;
  // The drying model every run uses.
  ModelChoice model;
};

// The result file name of run `run` (1-based) of `runs`: the number zero-padded to at least
// four digits and to the width of the largest run number.
std::string SweepResultFileName(std::size_t run, std::size_t runs);

// Called with each run's index (0-based) and result.
using SweepRunHandler = std::function<void(std::size_t index, const SweepRunResult& run)>;

// How the runs of a sweep ended.
struct SweepTally {
  std::size_t runs = 0;
  std::size_t failed = 0;                 // runs that did not complete
  std::optional<RunStatus> firstFailure;  // the outcome of the first of them in run order
};

// Runs the simulation once per point of the sweep, starting each time from `base` with the
// axes' entries set to their values (the first axis varies slowest), and hands each run's
// result to `onRun` in run order, as soon as that run and every run before it have
// finished; calls never overlap. Runs are spread over worker threads, each with a
// Simulation of its own; a run starts at most a few runs per thread ahead of the first run
// not yet handed on, and no result is kept once handed on, so the memory taken does not
// grow with the number of runs. A run that does not complete is handed on with its outcome
// and the sweep goes on. An exception from `onRun` ends the sweep and comes out of here.
// `axes` must have passed SweepRunCount. Throws only for an unforeseen failure.
SweepTally RunSweepInOrder(const MapEntryTexts& base, const std::vector<SweepAxis>& axes,
                           const SweepOptions& options, const SweepRunHandler& onRun);

// RunSweepInOrder keeping every result: the results in run order.
std::vector<SweepRunResult> RunSweep(const MapEntryTexts& base, const std::vector<SweepAxis>& axes,
                                     const SweepOptions& options);

// The summary as CSV: a header record, then one record per run with the run number, the
// value text of each axis, the outcome, its message (empty when completed), the line
// quantities of the summary and then those of each zone (as many zone groups as the run with
// the most zones has; empty for a run that did not complete or has fewer zones).
std::string FormatSweepSummary(const std::vector<SweepAxis>& axes,
                               const std::vector<SweepRunResult>& runs, std::string_view model);

// The summary's header record with `zones` zone groups, and the record of run `run`
// (1-based) with as many; FormatSweepSummary is the header followed by every record. The
// columns are those of a summary of runs of `model` (see AppendSummaryHeader).
std::string FormatSweepSummaryHeader(const std::vector<SweepAxis>& axes, std::size_t zones,
                                     std::string_view model);
std::string FormatSweepSummaryRecord(std::size_t run, const SweepRunResult& result, std::size_t zones,
                                     std::string_view model);

// The zone groups of a summary written run by run, known before any run: the longest zone
// chain among the runs' conditions (only a swept Outer Temperature of zones 2..14 makes the
// runs differ). It equals FormatSweepSummary's count whenever a run with that many zones
// completes.
std::size_t SweepSummaryZones(const MapEntryTexts& base, const std::vector<SweepAxis>& axes);

}  // namespace tovimar
