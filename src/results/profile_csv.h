#pragma once

#include <string>

#include "results/output_catalogue.h"

namespace tovimar {

// The whole profile as CSV: the header record (the titles of the catalogue's profile-CSV
// quantities), then one record per point, zone by zone. Numbers are in their shortest
// round-trip form (see ShortestNumberText), so that reading them back gives the very
// doubles of the profile; a judged value the point does not have is an empty field.
std::string FormatProfileCsv(const RunResults& results);

// Writes FormatProfileCsv(profile) to `path`; throws FileError naming the file when it
// cannot be written.
void WriteProfileCsv(const std::string& path, const RunResults& results);

}  // namespace tovimar
