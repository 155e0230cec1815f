#include "run/run_sequence.h"

#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <string>

#include "conditionfile/condition_section.h"
#include "format/file_writer.h"
#include "input/read_conditions.h"
#include "input/plausibility.h"
#include "run/result_table.h"
#include "run/run_bounds.h"

namespace tovimar {

namespace {

RunOutcome Outcome(RunStatus status, std::string message, MessageStyle style) {
  RunOutcome outcome;
  outcome.status = status;
  outcome.message = std::move(message);
  outcome.style = style;
  return outcome;
}

RunOutcome FromReadStop(ReadStop stop) {
  const bool input = stop.kind == ReadStopKind::InputMessage;
  const RunStatus status = stop.kind == ReadStopKind::ArithmeticFault ? RunStatus::ArithmeticFault
                                                                       : RunStatus::StoppedAtInput;
  RunOutcome outcome =
      Outcome(status, std::move(stop.message), input ? MessageStyle::Notice : MessageStyle::Error);
  outcome.entryName = std::move(stop.entryName);
  return outcome;
}

RunOutcome FromUserError(const UserError& e) {
  RunOutcome outcome;
  outcome.message = e.what();
  outcome.style = MessageStyle::Error;
  outcome.place = e.place();
  switch (e.kind()) {
    case ErrorKind::File: {
      const auto& file = static_cast<const FileError&>(e);
      const bool notOpened = file.failure() == FileError::Failure::CannotOpen;
      outcome.status = notOpened ? RunStatus::FileNotOpened : RunStatus::WriteFailed;
      outcome.style = notOpened ? MessageStyle::Notice : MessageStyle::Error;
      outcome.reason = file.reason();
      outcome.path = file.path();
      break;
    }
    case ErrorKind::Input:
      outcome.status = RunStatus::StoppedAtInput;
      outcome.entryName = static_cast<const InputError&>(e).entryName();
      break;
    case ErrorKind::StepCount:  // the reader refuses such counts first; this guards the rows
      outcome.status = RunStatus::StoppedAtInput;
      break;
    case ErrorKind::Arithmetic:
      outcome.status = RunStatus::ArithmeticFault;
      break;
    case ErrorKind::Instability:
      outcome.status = RunStatus::Unstable;
      break;
    case ErrorKind::Boiling:
      outcome.status = RunStatus::Boiling;
      break;
  }
  return outcome;
}

void RunSteps(Simulation& sim, const EntryTexts& entries, const RunOptions& options,
              RunOutcome& outcome) {
  // The model is made first, so that one that cannot run stops the run before anything is
  // read or written; it takes the simulation's records over only once they are read.
  std::unique_ptr<DryingModel> model = MakeDryingModel(options.model);
  if (auto stop = ReadConditions(sim.conditions, entries, options.overrides)) {
    outcome = FromReadStop(std::move(*stop));
    return;
  }
  const DryingConditions& c = sim.conditions;
  outcome.warnings = PlausibilityWarnings(c, entries, options.overrides);
  std::optional<ResultFile> resultFile;
  if (options.resultSink == nullptr) {
    resultFile.emplace(c.ResultFileName);
  }
  const ResultSink& file = options.resultSink != nullptr ? *options.resultSink : *resultFile;
  const bool write = options.writeResultFile;

  if (write) {
    WriteConditionSection(c, file);
  }
  sim.model = std::move(model);
  sim.model->PrepareRun(sim);
  for (std::int32_t zone = 1; zone <= c.ZoneCount; ++zone) {
    if (zone > 1 && write) {
      WriteZoneSection(c, file, zone);
    }
    const std::int32_t steps = c.ZoneStepCount[static_cast<std::size_t>(zone)];
    sim.model->MarchZone(sim, zone, steps);
    if (write) {
      WriteResultTable(sim, file, zone, steps);
    }
    if (options.afterZone) {
      options.afterZone(zone);
    }
  }
  if (write) {
    WriteModelSection(options.model, file);
  }
  for (std::string& warning : sim.model->RunWarnings(sim)) {
    outcome.warnings.push_back(std::move(warning));
  }
  for (std::string& warning : BoundsWarnings(sim)) {
    outcome.warnings.push_back(std::move(warning));
  }
}

}  // namespace

RunOutcome RunSimulation(Simulation& sim, const EntryTexts& entries, const RunOptions& options) {
  // Whatever ends the run early, what was written before stays in the result file; the
  // first writer that cannot open the file ends the run there.
  RunOutcome outcome;
  const auto stopped = [&outcome](RunOutcome stop) {
    stop.warnings = std::move(outcome.warnings);
    outcome = std::move(stop);
  };
  try {
    RunSteps(sim, entries, options, outcome);
  } catch (const UserError& e) {
    stopped(FromUserError(e));
  } catch (const std::bad_alloc&) {
    stopped(Outcome(RunStatus::InternalError,
                    "The run stopped on an internal error: not enough memory.", MessageStyle::Error));
  } catch (const std::exception& e) {
    stopped(Outcome(RunStatus::InternalError,
                    std::string("The run stopped on an internal error: ") + e.what(),
                    MessageStyle::Error));
  }
  outcome.model = options.model.name;
  return outcome;
}

std::string_view RunStatusText(RunStatus status) {
  switch (status) {
    case RunStatus::Completed:
      return "completed";
    case RunStatus::StoppedAtInput:
      return "stopped at input";
    case RunStatus::FileNotOpened:
      return "file not opened";
    case RunStatus::WriteFailed:
      return "write failed";
    case RunStatus::ArithmeticFault:
      return "arithmetic fault";
    case RunStatus::Unstable:
      return "unstable";
    case RunStatus::Boiling:
      return "boiling";
    case RunStatus::InternalError:
      return "internal error";
  }
  return "unknown";
}

}  // namespace tovimar
