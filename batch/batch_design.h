#pragma once

#include <ostream>

#include "batch_options.h"
#include "conditionfile/input_file.h"
#include "input/entry_texts.h"
#include "input/user_messages.h"
#include "input/line_settings.h"

namespace tovimar::batch {

// --design FILE ("-": standard input): a CSV whose header holds names (as --set takes them)
// and whose every further record is one run, its fields the texts those names get. Each run
// starts from `base` and `line`, marches in memory and gives one summary record on `out`, in
// input order: the design's fields as given, the outcome and its message, then the summary's
// values. The header comes once, first, unless --no-header is given or the process is a
// later job of GNU parallel (PARALLEL_SEQ other than 1), so that the outputs of a design
// split into chunks join into exactly one process's output. Records are read and written
// one at a time, so a design of any size runs in bounded memory.
// Returns ExitCompleted when every run completed, the status of the first run that did not
// otherwise, ExitUsage for a design that cannot be run as it stands (see DesignReader),
// ExitFileFailed when it cannot be read or holds a record longer than 16 MiB.
int RunDesign(const BatchOptions& options, const MapEntryTexts& base, const LineSettings& line,
              InputSource& in, std::ostream& out, UserMessages& messages);

}  // namespace tovimar::batch
