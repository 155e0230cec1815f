#include "run/run_sequence.h"

#include <exception>
#include <new>
#include <string>

#include "conditionfile/condition_section.h"
#include "input/read_conditions.h"
#include "run/result_file.h"
#include "run/result_table.h"

namespace tovimar {

namespace {

RunOutcome Outcome(RunStatus status, std::string message, bool shown) {
  RunOutcome outcome;
  outcome.status = status;
  outcome.message = std::move(message);
  outcome.messageShown = shown;
  return outcome;
}

RunOutcome FromReadStop(ReadStop stop) {
  const RunStatus status = stop.kind == ReadStopKind::ArithmeticFault ? RunStatus::ArithmeticFault
                                                                       : RunStatus::StoppedAtInput;
  return Outcome(status, std::move(stop.message), stop.shown);
}

// The writer that could not open the result file has shown "File can not open!" already;
// the run stops there rather than meeting the same failure in every later writer.
RunOutcome FileNotOpened() {
  return Outcome(RunStatus::FileNotOpened, std::string(FileCanNotOpenMessage), true);
}

RunOutcome RunSteps(Simulation& sim, const EntryTexts& entries, UserMessages& messages,
                    const RunOptions& options) {
  if (auto stop = ReadConditions(sim.conditions, entries, messages)) {
    return FromReadStop(std::move(*stop));
  }
  const DryingConditions& c = sim.conditions;
  const ResultFile file(c.ResultFileName);
  const bool write = options.writeResultFile;

  if (write && !WriteConditionSection(c, file, messages)) {
    return FileNotOpened();
  }
  PrepareInitialState(sim);
  for (std::int32_t zone = 1; zone <= c.ZoneCount; ++zone) {
    if (zone > 1 && write && !WriteZoneSection(c, file, messages, zone)) {
      return FileNotOpened();
    }
    const std::int32_t steps = c.ZoneStepCount[static_cast<std::size_t>(zone)];
    MarchZone(sim, zone, steps);
    if (zone < c.ZoneCount) {
      CarryToNextZone(sim, zone, steps);
    }
    if (write && !WriteResultTable(sim, file, messages, zone, steps)) {
      return FileNotOpened();
    }
    if (options.afterZone) {
      options.afterZone(zone);
    }
  }
  return RunOutcome{};
}

}  // namespace

RunOutcome RunSimulation(Simulation& sim, const EntryTexts& entries, UserMessages& messages,
                         const RunOptions& options) {
  // Whatever ends the run early, what was written before stays in the result file.
  try {
    return RunSteps(sim, entries, messages, options);
  } catch (const ResultWriteError& e) {
    return Outcome(RunStatus::WriteFailed, e.what(), false);
  } catch (const ArithmeticError& e) {
    RunOutcome outcome = Outcome(RunStatus::ArithmeticFault, e.what(), false);
    outcome.errorKind = ErrorKind::Arithmetic;
    return outcome;
  } catch (const InstabilityError& e) {
    RunOutcome outcome = Outcome(RunStatus::ArithmeticFault, e.what(), false);
    outcome.errorKind = ErrorKind::Instability;
    return outcome;
  } catch (const BoilingError& e) {
    RunOutcome outcome = Outcome(RunStatus::ArithmeticFault, e.what(), false);
    outcome.errorKind = ErrorKind::Boiling;
    return outcome;
  } catch (const StepCountError& e) {
    // The reader refuses such counts first; this only guards the profile rows.
    return Outcome(RunStatus::StoppedAtInput, e.what(), false);
  } catch (const std::bad_alloc&) {
    return Outcome(RunStatus::WriteFailed, "The run stopped: not enough memory.", false);
  } catch (const std::exception& e) {
    // Nothing else is expected from the core; a file-system failure is the likely one.
    return Outcome(RunStatus::WriteFailed, std::string("The run stopped: ") + e.what(), false);
  }
}

}  // namespace tovimar
