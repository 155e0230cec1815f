#pragma once

#include <ostream>

#include "batch_options.h"
#include "input/entry_texts.h"
#include "input/user_messages.h"
#include "input/line_settings.h"

namespace tovimar::batch {

// Whether the command line asks for a fit (--fit or --measured given).
bool FitRequested(const BatchOptions& options);

// Fits the --fit parameters, starting from `entries`, to the --measured file and prints
// on `out` one line per parameter, "NAME=VALUE ± HALFWIDTH (95 %)" ("NAME=VALUE
// (undetermined)" when the data do not determine it, "(no interval)" when no interval can
// be formed), then the residual RMS
// of each measured quantity, the number of runs and the warnings. With --write-data, the
// entries with the fitted values are saved as a data file once the fit has converged.
// Returns ExitCompleted when the fit converged, ExitFitNotConverged when it did not,
// ExitUsage for a command line that does not fit together, ExitFileFailed for a
// measurement file that cannot be read or a data file that cannot be written, and
// ExitStoppedAtInput for a measurement file that is not one or a fit that cannot start.
int RunFitBatch(const BatchOptions& options, MapEntryTexts& entries, const LineSettings& line,
                std::ostream& out, UserMessages& messages);

}  // namespace tovimar::batch
