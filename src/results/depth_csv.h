#pragma once

#include <string>
#include <vector>

#include "results/output_catalogue.h"

namespace tovimar {

// The coating's profile through its thickness at each zone's exit (the last is the line
// end) as CSV: "position along the line (m)", "height above the base film (fraction of the
// thickness)", "solvent-1 weight fraction", "solvent-2 weight fraction"; one record per node,
// base film first, zone after zone. Numbers in their shortest round-trip form.
std::string FormatDepthCsv(const RunResults& results, const std::vector<DepthProfile>& exits);

// Writes FormatDepthCsv to `path`; throws FileError naming the file when it cannot be written.
void WriteDepthCsv(const std::string& path, const RunResults& results, const std::vector<DepthProfile>& exits);

}  // namespace tovimar
