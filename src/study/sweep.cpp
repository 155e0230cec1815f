#include "study/sweep.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "input/field_catalogue.h"
#include "input/number_parse.h"
#include "input/zone_chain.h"
#include "input/read_conditions.h"
#include "model/model.h"
#include "format/csv.h"
#include "format/file_writer.h"
#include "results/output_catalogue.h"

namespace tovimar {

namespace {

// How far beyond TO a value may lie, in steps, and still count as TO.
constexpr double EndTolerance = 1e-9;

std::optional<double> SweepNumber(std::string_view text, std::string_view what,
                                  std::string_view sweepText, std::string& error) {
  const std::optional<double> value = ParseNumber(text);
  if (!value) {
    error = "--sweep: " + std::string(what) + " \"" + std::string(text) +
            "\" is not a number in \"" + std::string(sweepText) + "\"";
  }
  return value;
}

}  // namespace

namespace {

// The decimals a number is written with: the digits after its point, less its exponent
// ("0.05" 2, "1e-3" 3, "1.5e1" 0); never more than a double can tell apart.
int DecimalsOf(std::string_view text) {
  int decimals = 0;
  const std::size_t point = text.find('.');
  const std::size_t exponent = text.find_first_of("eE");
  if (point != std::string_view::npos) {
    const std::size_t end = exponent == std::string_view::npos ? text.size() : exponent;
    decimals = static_cast<int>(end > point ? end - point - 1 : 0);
  }
  if (exponent != std::string_view::npos) {
    const std::optional<double> power = ParseNumber(text.substr(exponent + 1));
    if (power && std::fabs(*power) < 400) {
      decimals -= static_cast<int>(*power);
    }
  }
  return std::clamp(decimals, 0, 17);
}

}  // namespace

double SweepAxis::Value(std::size_t i) const {
  const double raw = from + static_cast<double>(i) * step;
  // Rounded through its decimal text, so that the value is the very decimal the text shows.
  std::array<char, 400> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), raw,
                                    std::chars_format::fixed, decimals);
  if (result.ec != std::errc()) {
    return raw;
  }
  const std::optional<double> rounded = ParseNumber(std::string_view(buffer.data(), result.ptr));
  return rounded ? *rounded : raw;
}

std::string SweepAxis::ValueText(std::size_t i) const { return ShortestNumberText(Value(i)); }

std::optional<SweepAxis> ParseSweepAxis(std::string_view sweepText, std::string& error) {
  const std::size_t equals = sweepText.find('=');
  if (equals == std::string_view::npos) {
    error = "--sweep needs NAME=FROM:TO:STEP, got \"" + std::string(sweepText) + "\"";
    return std::nullopt;
  }
  SweepAxis axis;
  axis.name = std::string(sweepText.substr(0, equals));
  const ConditionField* field = FindField(axis.name);
  if (field == nullptr) {
    error = "--sweep: no condition entry or field named \"" + axis.name +
            "\" (a numeric condition; tovimar-batch --list-names lists every name)";
    return std::nullopt;
  }
  axis.entryName = field->entryName;

  const std::string_view range = sweepText.substr(equals + 1);
  const std::size_t colon1 = range.find(':');
  const std::size_t colon2 = colon1 == std::string_view::npos ? colon1 : range.find(':', colon1 + 1);
  if (colon2 == std::string_view::npos || range.find(':', colon2 + 1) != std::string_view::npos) {
    error = "--sweep needs NAME=FROM:TO:STEP, got \"" + std::string(sweepText) + "\"";
    return std::nullopt;
  }
  const auto from = SweepNumber(range.substr(0, colon1), "FROM", sweepText, error);
  if (!from) return std::nullopt;
  const auto to = SweepNumber(range.substr(colon1 + 1, colon2 - colon1 - 1), "TO", sweepText, error);
  if (!to) return std::nullopt;
  const auto step = SweepNumber(range.substr(colon2 + 1), "STEP", sweepText, error);
  if (!step) return std::nullopt;
  axis.from = *from;
  axis.to = *to;
  axis.step = *step;
  axis.decimals = std::max(DecimalsOf(range.substr(0, colon1)), DecimalsOf(range.substr(colon2 + 1)));

  if (axis.from == axis.to) {
    axis.count = 1;
    return axis;
  }
  if (axis.step == 0) {
    error = "--sweep: STEP must not be 0 in \"" + std::string(sweepText) + "\"";
    return std::nullopt;
  }
  const double steps = (axis.to - axis.from) / axis.step;
  if (!std::isfinite(steps)) {
    error = "--sweep: the range of \"" + std::string(sweepText) + "\" is too wide";
    return std::nullopt;
  }
  if (steps < -EndTolerance) {
    error = "--sweep: STEP " + std::string(range.substr(colon2 + 1)) +
            " leads away from TO in \"" + std::string(sweepText) + "\"";
    return std::nullopt;
  }
  const double last = std::floor(steps + EndTolerance);
  if (last >= static_cast<double>(MaxSweepRuns)) {
    error = "--sweep: \"" + std::string(sweepText) + "\" gives more than " +
            std::to_string(MaxSweepRuns) + " values";
    return std::nullopt;
  }
  axis.count = static_cast<std::size_t>(last) + 1;
  if (!std::isfinite(axis.Value(axis.count - 1))) {
    error = "--sweep: the values of \"" + std::string(sweepText) + "\" are out of range";
    return std::nullopt;
  }
  return axis;
}

std::optional<std::size_t> SweepRunCount(const std::vector<SweepAxis>& axes, std::string& error) {
  if (axes.empty() || axes.size() > 2) {
    error = "give one --sweep, or two for a grid";
    return std::nullopt;
  }
  if (axes.size() == 2 && axes[0].entryName == axes[1].entryName) {
    error = "--sweep: both sweeps set " + axes[0].entryName;
    return std::nullopt;
  }
  std::size_t runs = 1;
  for (const SweepAxis& axis : axes) {
    if (axis.count == 0 || axis.count > MaxSweepRuns / runs) {
      error = "--sweep: more than " + std::to_string(MaxSweepRuns) + " runs";
      return std::nullopt;
    }
    runs *= axis.count;
  }
  return runs;
}

std::string SweepResultFileName(std::size_t run, std::size_t runs) {
  const std::size_t width = std::max<std::size_t>(4, std::to_string(runs).size());
  std::string number = std::to_string(run);
  if (number.size() < width) {
    number.insert(0, width - number.size(), '0');
  }
  return "result-" + number + ".txt";
}

namespace {

// One run whose result file is written under a temporary name beside `target` and takes
// its name only once the run has ended, so an interrupted sweep leaves no result file cut
// short. A run that wrote its file (whole, or up to a fault of the model) puts it in place;
// one that could not start it or failed to write it leaves an earlier file as it was.
RunOutcome RunIntoStagedFile(Simulation& sim, MapEntryTexts& entries, const std::string& target,
                             const RunOptions& options) {
  RunOutcome outcome;
  const auto failed = [&](RunStatus status, std::string message, const FileError& e) {
    outcome.status = status;
    outcome.message = std::move(message);
    outcome.style = status == RunStatus::FileNotOpened ? MessageStyle::Notice : MessageStyle::Error;
    outcome.path = e.path();
    outcome.reason = e.reason();
    return outcome;
  };
  std::unique_ptr<StagedFile> staged;
  try {
    staged = std::make_unique<StagedFile>(target, "result file");
  } catch (const FileError& e) {
    return failed(RunStatus::FileNotOpened, std::string(FileCanNotOpenMessage), e);
  }
  const std::string& temporary = staged->WritePath();
  entries.ForceText(SaveFileNameEntry, temporary);
  outcome = RunSimulation(sim, entries, options);
  if (outcome.path == temporary && temporary != target) {  // its messages name the target
    for (std::size_t at = outcome.message.find(temporary); at != std::string::npos;
         at = outcome.message.find(temporary, at + target.size())) {
      outcome.message.replace(at, temporary.size(), target);
    }
    outcome.path = target;
  }
  const RunStatus status = outcome.status;
  if (status != RunStatus::StoppedAtInput && status != RunStatus::FileNotOpened &&
      status != RunStatus::WriteFailed) {
    try {
      staged->Commit();
    } catch (const FileError& e) {
      return failed(RunStatus::WriteFailed, e.what(), e);
    }
  }
  return outcome;
}

// One run of the sweep on a worker's own simulation.
SweepRunResult RunOne(Simulation& sim, const MapEntryTexts& base,
                      const std::vector<SweepAxis>& axes, std::size_t index, std::size_t runs,
                      const SweepOptions& options) {
  SweepRunResult result;
  MapEntryTexts entries = base;
  std::size_t rest = index;
  std::size_t stride = runs;
  for (const SweepAxis& axis : axes) {
    stride /= axis.count;
    const std::size_t i = rest / stride;
    rest %= stride;
    result.valueTexts.push_back(axis.ValueText(i));
    entries.ForceText(axis.entryName, result.valueTexts.back());
  }
  RunOptions runOptions;
  runOptions.model = options.model;
  if (options.resultDirectory.empty()) {
    runOptions.writeResultFile = false;
    result.outcome = RunSimulation(sim, entries, runOptions);
  } else {
    result.outcome = RunIntoStagedFile(
        sim, entries,
        (std::filesystem::path(options.resultDirectory) / SweepResultFileName(index + 1, runs)).string(),
        runOptions);
  }
  if (result.outcome.completed()) {
    try {
      result.values = SummaryValuesOf(DeriveResults(sim, options.line));
    } catch (const UserError& e) {
      result.outcome.status = RunStatus::ArithmeticFault;
      result.outcome.message = e.what();
      result.outcome.style = MessageStyle::Error;
    }
  }
  return result;
}

}  // namespace

SweepTally RunSweepInOrder(const MapEntryTexts& base, const std::vector<SweepAxis>& axes,
                           const SweepOptions& options, const SweepRunHandler& onRun) {
  std::string error;
  const std::optional<std::size_t> count = SweepRunCount(axes, error);
  if (!count) {
    throw std::invalid_argument(error);
  }
  const std::size_t runs = *count;
  unsigned threads = options.threads != 0 ? options.threads : std::thread::hardware_concurrency();
  threads = static_cast<unsigned>(std::clamp<std::size_t>(threads, 1, runs));
  // A run may start only this far ahead of the first run not yet handed on, so that the
  // results waiting for their turn stay few even when one run takes long.
  const std::size_t window = std::size_t{16} * threads;

  std::mutex mutex;  // guards everything below but `next`
  std::condition_variable turn;
  std::map<std::size_t, SweepRunResult> waiting;  // finished, not yet handed on
  std::size_t nextToHand = 0;
  SweepTally tally;
  tally.runs = runs;
  bool failed = false;
  std::exception_ptr failure;
  std::atomic<std::size_t> next{0};

  const auto handOn = [&](std::size_t index, const SweepRunResult& result) {
    if (!result.outcome.completed()) {
      if (tally.failed++ == 0) tally.firstFailure = result.outcome.status;
    }
    onRun(index, result);
  };
  const auto work = [&] {
    try {
      Simulation sim;  // each worker marches on its own records
      for (std::size_t i = next.fetch_add(1); i < runs; i = next.fetch_add(1)) {
        {
          std::unique_lock<std::mutex> lock(mutex);
          turn.wait(lock, [&] { return failed || i < nextToHand + window; });
          if (failed) return;
        }
        SweepRunResult result = RunOne(sim, base, axes, i, runs, options);
        const std::lock_guard<std::mutex> lock(mutex);
        if (failed) return;
        waiting.emplace(i, std::move(result));
        for (auto it = waiting.find(nextToHand); it != waiting.end(); it = waiting.find(nextToHand)) {
          handOn(nextToHand, it->second);
          waiting.erase(it);
          ++nextToHand;
        }
        turn.notify_all();
      }
    } catch (...) {
      const std::lock_guard<std::mutex> lock(mutex);
      if (!failure) {
        failure = std::current_exception();
      }
      failed = true;
      turn.notify_all();
    }
  };
  std::vector<std::thread> workers;
  workers.reserve(threads - 1);
  try {
    for (unsigned t = 1; t < threads; ++t) {
      workers.emplace_back(work);
    }
  } catch (...) {
    // No more threads to be had: the ones started and this one share the work.
  }
  work();
  for (std::thread& worker : workers) {
    worker.join();
  }
  if (failure) {
    std::rethrow_exception(failure);
  }
  return tally;
}

std::vector<SweepRunResult> RunSweep(const MapEntryTexts& base, const std::vector<SweepAxis>& axes,
                                     const SweepOptions& options) {
  std::vector<SweepRunResult> results;
  RunSweepInOrder(base, axes, options, [&](std::size_t, const SweepRunResult& run) {
    results.push_back(run);
  });
  return results;
}

std::string FormatSweepSummaryHeader(const std::vector<SweepAxis>& axes, std::size_t zones,
                                     std::string_view model) {
  std::string out = "run";
  for (const SweepAxis& axis : axes) {
    out += ',';
    AppendCsvField(out, axis.name);
  }
  out += ",outcome,message";
  AppendSummaryHeader(out, zones, model);
  EndCsvRecord(out);
  return out;
}

std::string FormatSweepSummaryRecord(std::size_t run, const SweepRunResult& result, std::size_t zones,
                                     std::string_view model) {
  std::string out = std::to_string(run);
  for (const std::string& text : result.valueTexts) {
    out += ',';
    AppendCsvField(out, text);
  }
  out += ',';
  AppendCsvField(out, RunStatusText(result.outcome.status));
  out += ',';
  AppendCsvField(out, result.outcome.message);
  AppendSummaryValues(out, result.values, zones, model);
  EndCsvRecord(out);
  return out;
}

std::string FormatSweepSummary(const std::vector<SweepAxis>& axes,
                               const std::vector<SweepRunResult>& runs, std::string_view model) {
  std::size_t zones = 0;
  for (const SweepRunResult& run : runs) {
    zones = std::max(zones, run.values.zones.size());
  }
  std::string out = FormatSweepSummaryHeader(axes, zones, model);
  out.reserve(out.size() + runs.size() * (100 + zones * 60));
  for (std::size_t i = 0; i < runs.size(); ++i) {
    out += FormatSweepSummaryRecord(i + 1, runs[i], zones, model);
  }
  return out;
}

std::size_t SweepSummaryZones(const MapEntryTexts& base, const std::vector<SweepAxis>& axes) {
  const auto isOuterTemperature = [](const SweepAxis& axis) {
    return IsChainOuterTemperature(axis.entryName);
  };
  if (std::none_of(axes.begin(), axes.end(), isOuterTemperature)) {
    return static_cast<std::size_t>(ActiveZoneChain(base).activeZones);
  }
  std::string error;
  const std::size_t runs = SweepRunCount(axes, error).value_or(0);
  MapEntryTexts entries = base;
  int zones = 0;
  for (std::size_t index = 0; index < runs; ++index) {
    std::size_t rest = index;
    std::size_t stride = runs;
    for (const SweepAxis& axis : axes) {
      stride /= axis.count;
      entries.ForceText(axis.entryName, axis.ValueText(rest / stride));
      rest %= stride;
    }
    zones = std::max(zones, ActiveZoneChain(entries).activeZones);
  }
  return static_cast<std::size_t>(zones);
}

}  // namespace tovimar
