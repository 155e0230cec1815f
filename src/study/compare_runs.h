#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "input/run_inputs.h"
#include "results/output_catalogue.h"

namespace tovimar {

// Comparing runs: completed runs pinned under a name as baselines, a table of their line
// quantities (line-end values and the judging quantities) and zone-exit quantities side by
// side, and that table as CSV.

struct PinnedRun {
  std::string name;
  RunResults results;
  RunInputs inputs;  // what the run was made of
};

// At most this many runs are pinned at a time (the chart overlays them all).
inline constexpr std::size_t MaxPinnedRuns = 5;

class PinnedRuns {
 public:
  // Pins a completed run's results, made of `inputs`, under `name` (spaces around it
  // dropped). Throws InputError for an empty name, a name already pinned, or a sixth run.
  void Pin(std::string_view name, RunResults results, RunInputs inputs = {});
  // Unpins the run of this name; false when there is none.
  bool Unpin(std::string_view name);
  void Clear() { runs_.clear(); }
  [[nodiscard]] const std::vector<PinnedRun>& runs() const { return runs_; }

 private:
  std::vector<PinnedRun> runs_;
};

// One row of the comparison: a quantity's column title ("line end web temperature (C)",
// "zone 2 exit web temperature (C)") and its value in each run (none where the run has
// no such value, a zone it does not have included).
struct ComparisonRow {
  std::string title;
  const OutputQuantity* quantity = nullptr;
  int zone = 0;  // 0 for a line quantity
  std::vector<std::optional<double>> values;
};

// The rows for `runs`: every line quantity of the summary in catalogue order, then every
// zone quantity of the summary for zones 1 up to the most zones any run has.
std::vector<ComparisonRow> ComparisonRows(const std::vector<PinnedRun>& runs);

// One row of the conditions compared: an input's title with its unit ("Speed (m/s)", "Exhaust
// flow of zone 2 (m3/h ...)"), its text in each run (empty where a run gives none) and whether
// the runs differ in it (as numbers where every text is one, else as texts).
struct ConditionRow {
  std::string title;
  std::vector<std::string> texts;
  bool differs = false;
};

// The inputs of `runs` side by side: every condition field that some run gives a text, in
// the data file's order, then every line setting that some run sets to other than its
// default.
std::vector<ConditionRow> ConditionRows(const std::vector<PinnedRun>& runs);

// The comparison as CSV: a header record "quantity" and the runs' names, then one record
// per row with the numbers in shortest exact form (an empty field where there is none).
std::string FormatComparisonCsv(const std::vector<PinnedRun>& runs);

// Writes FormatComparisonCsv(runs) to `path` (WriteTextFile); throws FileError.
void WriteComparisonCsv(const std::string& path, const std::vector<PinnedRun>& runs);

}  // namespace tovimar
