#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "input/entry_texts.h"
#include "input/user_messages.h"
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
};

struct RunOutcome {
  RunStatus status = RunStatus::Completed;
  // What went wrong, for the user; empty for a completed run.
  std::string message;
  // True when `message` has already been shown through UserMessages (the input messages
  // and "File can not open!"); the caller shows the others itself (an error box).
  bool messageShown = false;
  // For a run the model stopped (status ArithmeticFault): which kind of error it was, so
  // that an unstable integration (ErrorKind::Instability) or a boiling coating
  // (ErrorKind::Boiling) can be told from an arithmetic fault. Input otherwise.
  ErrorKind errorKind = ErrorKind::Input;

  [[nodiscard]] bool completed() const { return status == RunStatus::Completed; }
};

struct RunOptions {
  // False: march without writing a result file (sweeps); the conditions are still read
  // and checked exactly as for a run that writes one.
  bool writeResultFile = true;
  // Called after each zone has been marched and its table written, with the zone's number
  // (tests use it to change the result file between two zones).
  std::function<void(std::int32_t zone)> afterZone;
};

// One complete run: read the conditions from the entries, write the condition section,
// prepare the initial state, march every active zone (carrying the state on) and append
// each zone's block and table. Never throws for anything the user can cause.
RunOutcome RunSimulation(Simulation& sim, const EntryTexts& entries, UserMessages& messages,
                         const RunOptions& options = {});

}  // namespace tovimar
