#pragma once

#include <ostream>

#include "batch_options.h"

namespace tovimar::batch {

// Forms the conditions the options describe, writes the data file and runs the simulation
// (or the sweep) as asked; a sweep's summary goes to `out` unless --summary names a file,
// messages go to `err`. Returns the exit status. Throws nothing.
int RunBatch(const BatchOptions& options, std::ostream& out, std::ostream& err);

}  // namespace tovimar::batch
