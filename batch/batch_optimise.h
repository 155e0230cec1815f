#pragma once

#include <ostream>

#include "batch_options.h"
#include "input/entry_texts.h"
#include "input/user_messages.h"
#include "input/line_settings.h"

namespace CLI {
class App;
}

namespace tovimar::batch {

// Registers --optimise, --objective, --vary, --limit, --starts and --write-line on `app`
// and adds their help to its footer.
void AddOptimiseOptions(CLI::App& app, BatchOptions& options);

// Searches for the best point from the conditions in `base` and the line settings `line`
// (see --help); the problem is the options' --objective and --vary, each taken from
// line.Optimise when not given, and line.Optimise's limits with the options' --limit added;
// the line settings' own limits (LineLimits) hold besides. Prints it on `out` and writes the
// files asked for of the best point.
// ExitCompleted when a point within every limit was found, ExitNoFeasiblePoint when none
// was, ExitUsage for a malformed problem, ExitFileFailed when a file could not be written.
int RunOptimiseBatch(const BatchOptions& options, const MapEntryTexts& base, const LineSettings& line,
                     std::ostream& out, UserMessages& messages);

}  // namespace tovimar::batch
