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
