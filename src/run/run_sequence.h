#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "format/result_sink.h"
#include "input/condition_overrides.h"
#include "input/entry_texts.h"
#include "model/errors.h"
#include "model/model.h"

namespace tovimar {

// How a run ended. A run that did not complete never ends in the completion dialog.
enum class RunStatus {
  Completed,        // every zone marched and written
  StoppedAtInput,   // the conditions could not be read (an input message, a text that is not
                    // a number in a zone's Outer Temperature, a step count that does not fit);
                    // no file was touched
  FileNotOpened,    // the result file could not be created or opened ("File can not open!")
  WriteFailed,      // a write to the opened result file failed (a full disk)
  ArithmeticFault,  // an arithmetic fault (zero Increment of z included)
  Unstable,         // an integration step beyond the method's stable limit; the message names
                    // the largest stable Increment of z
  Boiling,          // a solvent's vapour pressure above the atmosphere while it evaporates
  InternalError,    // something no input can cause (out of memory, a defect); the message
                    // says what
};

// How the caller shows a run's message: the input messages and "File can not open!" are the
// system's fixed texts, shown as they stand in a plain message box; every other failure is
// an error (the window's error box).
enum class MessageStyle { None, Notice, Error };

struct RunOutcome {
  RunStatus status = RunStatus::Completed;
  // What went wrong, for the user; empty for a completed run. The core shows nothing: the
  // caller shows it, in the style below.
  std::string message;
  MessageStyle style = MessageStyle::None;
  // Where it happened: the entry that holds the offending text (an input message), and the
  // zone and step of a fault; empty or 0 where that does not apply.
  std::string entryName;
  ErrorPlace place;
  // The system's reason for a file failure ("Permission denied"), and the file's path.
  std::string reason;
  std::string path;
  // What the user should know before trusting the result, whatever the status: entries that
  // are unlikely to be meant, a coating whose vapour pressure exceeded the atmosphere where
  // it no longer dried, and a completed run that does what drying cannot (BoundsWarnings).
  // Texts without a "Warning: " prefix.
  std::vector<std::string> warnings;
  // The name of the drying model the run was made with ("lumped").
  std::string model;

  [[nodiscard]] bool completed() const { return status == RunStatus::Completed; }
};

struct RunOptions {
  // False: march without writing a result file (sweeps); the conditions are still read
  // and checked exactly as for a run that writes one.
  bool writeResultFile = true;
  // When set (and writeResultFile is true), the result file's bytes go to this sink instead
  // of the file the Save File Name names; the name is still read and checked as always.
  const ResultSink* resultSink = nullptr;
  // Called after each zone has been marched and its table written, with the zone's number
  // (tests use it to change the result file between two zones).
  std::function<void(std::int32_t zone)> afterZone;
  // Values that stand in for the texts of some condition entries (see ConditionOverrides):
  // how the optimiser and the fit set the conditions they vary.
  ConditionOverrides overrides;
  // The drying model of the run, by name, with its parameters. A model that cannot be made
  // stops the run at input before anything is read or written.
  ModelChoice model;
};

// One complete run: make the model, read the conditions from the entries, write the
// condition section, prepare the model's run, march every active zone (carrying the state
// on) and append each zone's block and table. The model then stays in `sim` beside the
// profile it made. Never throws.
RunOutcome RunSimulation(Simulation& sim, const EntryTexts& entries, const RunOptions& options = {});

// "completed", "stopped at input", "file not opened", "write failed", "arithmetic fault",
// "unstable", "boiling", "internal error".
std::string_view RunStatusText(RunStatus status);

}  // namespace tovimar
