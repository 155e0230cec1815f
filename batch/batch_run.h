#pragma once

#include <ostream>

#include "batch_options.h"

namespace tovimar::batch {

// Forms the conditions the options describe, writes the data file and runs the simulation
// as asked; messages go to `err`. Returns the exit status. Throws nothing.
int RunBatch(const BatchOptions& options, std::ostream& err);

}  // namespace tovimar::batch
