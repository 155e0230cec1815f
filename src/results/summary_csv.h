#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "results/output_catalogue.h"

namespace tovimar {

// The values of one run that a summary record holds: every line quantity and, zone by zone,
// every zone quantity shown in the summary (of any model), group by group (see OutputQuantity::summaryGroup)
// and in catalogue order within a group. Empty for a run that did not complete; a missing
// value is an empty field.
struct SummaryValues {
  std::vector<std::optional<double>> line;
  std::vector<std::vector<std::optional<double>>> zones;
};

SummaryValues SummaryValuesOf(const RunResults& results);

// The summary's header after the caller's leading columns: the line quantities, then the
// zone quantities of zones 1..zones. A summary of runs of `model` has that model's check
// columns and no other model's.
void AppendSummaryHeader(std::string& out, std::size_t zones, std::string_view model);

// One record's values after its leading fields, in the columns of a summary of runs of
// `model`: empty fields where a value is missing, and for zones the run does not have.
void AppendSummaryValues(std::string& out, const SummaryValues& values, std::size_t zones,
                         std::string_view model);

}  // namespace tovimar
