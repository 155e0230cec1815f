#pragma once

#include <array>
#include <string>
#include <string_view>

#include "run/profile_summary.h"

namespace tovimar {

// The columns of the profile CSV, in order: one record per profile entry, zone by zone.
inline constexpr std::array<std::string_view, 13> ProfileCsvColumns{
    "zone",
    "step",
    "time (s)",
    "position in zone (m)",
    "position along the line (m)",
    "web temperature (C)",
    "solvent-1 weight (kg/m2)",
    "solvent-2 weight (kg/m2)",
    "solvent-1 residual ratio",
    "solvent-2 residual ratio",
    "solvent-1 weight fraction",
    "solvent-2 weight fraction",
    "drying-speed correction",
};

// The whole profile as CSV: the header record, then one record per point. Numbers are in
// their shortest round-trip form (see ShortestNumberText), so that reading them back gives
// the very doubles of the profile.
std::string FormatProfileCsv(const LineProfile& profile);

// Writes FormatProfileCsv(profile) to `path`; throws std::runtime_error naming the file
// when it cannot be written.
void WriteProfileCsv(const std::string& path, const LineProfile& profile);

}  // namespace tovimar
