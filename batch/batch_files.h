#pragma once

// The batch tool's side of its files: outputs that name the same file are refused before
// anything is touched, file messages carry the path and the system's reason with control
// characters escaped, signals end the tool cleanly, and a sweep's summary is written record
// by record as its runs finish.
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "batch_options.h"
#include "format/file_writer.h"
#include "input/entry_texts.h"
#include "input/user_messages.h"
#include "run/run_sequence.h"
#include "study/sweep.h"

namespace tovimar::batch {

// Ignores SIGXFSZ and makes SIGINT and SIGTERM remove a temporary file being written.
void InstallSignalHandling();

// `text` with every control character (0x00-0x1F, 0x7F) written as an escape: \n, \r, \t,
// or \xHH; everything else unchanged.
std::string EscapeControlCharacters(std::string_view text);

// The exit status of a run that ended with `status`.
int ExitStatusOf(RunStatus status);

// The message of a run for the error stream: "File can not open!" gets the path and the
// system's reason after it; every other message stands as it is.
std::string RunMessageOf(const RunOutcome& outcome);

// The message of a data file that could not be loaded, naming it as `given`.
std::string DataFileMessageOf(const FileError& error, const std::string& given);

// The first pair of files among the loaded data file (`dataFile`, may be empty) and the
// outputs the options ask for (the result file named by `entries`, --write-data, --csv,
// --summary and the result files of --sweep-results) that are one and the same file, as
// "A and B name the same file "PATH""; nothing when all differ.
std::optional<std::string> SameFileConflict(const BatchOptions& options, const std::string& dataFile,
                                            const EntryTexts& entries,
                                            const std::vector<SweepAxis>& axes);

// Runs the sweep and writes its summary (to --summary or `out`) record by record in run
// order as the runs finish, so that an interruption keeps every finished record. Returns
// ExitCompleted when every run completed, else the exit status of the first run that did
// not (a line on `messages` says how many), and ExitFileFailed when the summary cannot be
// written.
int RunSweepWithSummary(const BatchOptions& options, const std::vector<SweepAxis>& axes,
                        const MapEntryTexts& base, SweepOptions sweep, std::ostream& out,
                        UserMessages& messages);

}  // namespace tovimar::batch
