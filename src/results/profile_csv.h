#pragma once

#include <string>

#include "results/line_profile.h"

namespace tovimar {

// The whole profile as CSV: the header record (the titles of the catalogue's profile-CSV
// quantities), then one record per point, zone by zone. Numbers are in their shortest
// round-trip form (see ShortestNumberText), so that reading them back gives the very
// doubles of the profile.
std::string FormatProfileCsv(const LineProfile& profile);

// Writes FormatProfileCsv(profile) to `path`; throws FileError naming the file when it
// cannot be written.
void WriteProfileCsv(const std::string& path, const LineProfile& profile);

}  // namespace tovimar
