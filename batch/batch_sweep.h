#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "batch_options.h"
#include "input/entry_texts.h"
#include "input/user_messages.h"
#include "study/sweep.h"

namespace tovimar::batch {

// The axes of the --sweep options (none when there is no --sweep): nothing, and `error`
// set, when a --sweep is malformed, there are more than two, or --sweep-results or --jobs
// come without one. (IgnoredOption refuses the options a sweep does not take.)
std::optional<std::vector<SweepAxis>> SweepAxesOf(const BatchOptions& options, std::string& error);

// Writes a summary to `file` ("-": standard output, as when there is no file) or to `out`;
// ExitCompleted, or ExitFileFailed after a message.
int WriteSummary(const std::optional<std::string>& file, const std::string& summary,
                 std::ostream& out, UserMessages& messages);

// Runs the sweep from the conditions in `base` and writes its summary to --summary or to
// `out`, record by record as the runs finish. Returns ExitCompleted when every run
// completed, the status of the first run that did not otherwise (a line on `messages` says
// how many did not complete), and ExitFileFailed when the result directory or the summary
// could not be written.
int RunSweepBatch(const BatchOptions& options, const std::vector<SweepAxis>& axes,
                  const MapEntryTexts& base, const LineSettings& line, std::ostream& out,
                  UserMessages& messages);

}  // namespace tovimar::batch
