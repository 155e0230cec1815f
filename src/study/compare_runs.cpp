#include "study/compare_runs.h"

#include <algorithm>

#include "format/csv.h"
#include "format/file_writer.h"
#include "model/errors.h"

namespace tovimar {

namespace {

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

void PinnedRuns::Pin(std::string_view name, RunResults results) {
  const std::string_view trimmed = Trimmed(name);
  if (trimmed.empty()) throw InputError("A pinned run needs a name.");
  for (const PinnedRun& run : runs_) {
    if (run.name == trimmed) throw InputError("A run named \"" + std::string(trimmed) + "\" is pinned already.");
  }
  if (runs_.size() >= MaxPinnedRuns) {
    throw InputError("At most " + std::to_string(MaxPinnedRuns) + " runs can be pinned; unpin one first.");
  }
  runs_.push_back(PinnedRun{std::string(trimmed), std::move(results)});
}

bool PinnedRuns::Unpin(std::string_view name) {
  const auto it = std::find_if(runs_.begin(), runs_.end(), [name](const PinnedRun& r) { return r.name == name; });
  if (it == runs_.end()) return false;
  runs_.erase(it);
  return true;
}

std::vector<ComparisonRow> ComparisonRows(const std::vector<PinnedRun>& runs) {
  std::vector<ComparisonRow> rows;
  std::size_t zones = 0;
  for (const PinnedRun& run : runs) zones = std::max(zones, run.results.summary.zones.size());
  for (const OutputQuantity* q : QuantitiesIn(InSummary)) {
    if (q->scope != OutputScope::Line) continue;
    ComparisonRow row{ColumnTitle(*q), q, 0, {}};
    for (const PinnedRun& run : runs) row.values.push_back(LineValue(*q, run.results));
    rows.push_back(std::move(row));
  }
  for (std::size_t zone = 1; zone <= zones; ++zone) {
    for (const OutputQuantity* q : QuantitiesIn(InSummary)) {
      if (q->scope != OutputScope::Zone) continue;
      ComparisonRow row{ColumnTitle(*q, static_cast<int>(zone)), q, static_cast<int>(zone), {}};
      for (const PinnedRun& run : runs) row.values.push_back(ZoneValue(*q, run.results, zone));
      rows.push_back(std::move(row));
    }
  }
  return rows;
}

std::string FormatComparisonCsv(const std::vector<PinnedRun>& runs) {
  std::string out = "quantity";
  for (const PinnedRun& run : runs) {
    out += ',';
    AppendCsvField(out, run.name);
  }
  EndCsvRecord(out);
  for (const ComparisonRow& row : ComparisonRows(runs)) {
    AppendCsvField(out, row.title);
    for (const std::optional<double>& v : row.values) {
      out += ',';
      if (v) AppendCsvQuantity(out, *v);
    }
    EndCsvRecord(out);
  }
  return out;
}

void WriteComparisonCsv(const std::string& path, const std::vector<PinnedRun>& runs) {
  WriteTextFile(path, FormatComparisonCsv(runs), "comparison CSV");
}

}  // namespace tovimar
