#include "study/compare_runs.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "conditionfile/line_file.h"
#include "format/csv.h"
#include "input/field_catalogue.h"
#include "input/number_parse.h"
#include "study/optimise.h"
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

void PinnedRuns::Pin(std::string_view name, RunResults results, RunInputs inputs) {
  const std::string_view trimmed = Trimmed(name);
  if (trimmed.empty()) throw InputError("A pinned run needs a name.");
  for (const PinnedRun& run : runs_) {
    if (run.name == trimmed) throw InputError("A run named \"" + std::string(trimmed) + "\" is pinned already.");
  }
  if (runs_.size() >= MaxPinnedRuns) {
    throw InputError("At most " + std::to_string(MaxPinnedRuns) + " runs can be pinned; unpin one first.");
  }
  runs_.push_back(PinnedRun{std::string(trimmed), std::move(results), std::move(inputs)});
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
  // A quantity of one model's check is compared when some pinned run is of that model (with
  // none pinned, when it is the default model's).
  const auto anyShows = [&runs](const OutputQuantity& q) {
    if (runs.empty()) return ShownFor(q, DefaultModelName);
    return std::any_of(runs.begin(), runs.end(),
                       [&q](const PinnedRun& run) { return ShownFor(q, run.results.model); });
  };
  for (const OutputQuantity* q : QuantitiesIn(InSummary, AnyModel)) {
    if (q->scope != OutputScope::Line || !anyShows(*q)) continue;
    ComparisonRow row{ColumnTitle(*q), q, 0, {}};
    for (const PinnedRun& run : runs) row.values.push_back(LineValue(*q, run.results));
    rows.push_back(std::move(row));
  }
  for (std::size_t zone = 1; zone <= zones; ++zone) {
    for (const OutputQuantity* q : QuantitiesIn(InSummary, AnyModel)) {
      if (q->scope != OutputScope::Zone || !anyShows(*q)) continue;
      ComparisonRow row{ColumnTitle(*q, static_cast<int>(zone)), q, static_cast<int>(zone), {}};
      for (const PinnedRun& run : runs) row.values.push_back(ZoneValue(*q, run.results, zone));
      rows.push_back(std::move(row));
    }
  }
  return rows;
}

namespace {

// Whether the texts differ: as numbers when every one is a number, else as texts.
bool Differ(const std::vector<std::string>& texts) {
  std::vector<double> numbers;
  for (const std::string& text : texts) {
    if (const std::optional<double> number = ParseNumber(text)) numbers.push_back(*number);
  }
  if (numbers.size() == texts.size()) {
    return std::adjacent_find(numbers.begin(), numbers.end(), std::not_equal_to<>()) != numbers.end();
  }
  return std::adjacent_find(texts.begin(), texts.end(), std::not_equal_to<>()) != texts.end();
}

std::string WithUnit(const std::string& title, const std::string& unit) {
  return unit.empty() || unit == "-" ? title : title + " (" + unit + ")";
}

}  // namespace

std::vector<ConditionRow> ConditionRows(const std::vector<PinnedRun>& runs) {
  std::vector<ConditionRow> rows;
  for (const ConditionField& field : ConditionFields()) {
    ConditionRow row{WithUnit(field.name, field.unit), {}, false};
    bool given = false;
    for (const PinnedRun& run : runs) {
      const auto text = run.inputs.entries.find(field.entryName);
      row.texts.push_back(text == run.inputs.entries.end() ? std::string() : text->second);
      given = given || !row.texts.back().empty();
    }
    if (!given) continue;
    row.differs = Differ(row.texts);
    rows.push_back(std::move(row));
  }
  const LineSettings defaults;
  for (const LineSetting& setting : LineSettingCatalogue()) {
    ConditionRow row{WithUnit(setting.caption, setting.unit), {}, false};
    bool changed = false;
    for (const PinnedRun& run : runs) {
      changed = changed || !setting.Same(run.inputs.line, defaults);
      row.texts.push_back(LineSettingText(setting, run.inputs.line));
    }
    if (!changed) continue;
    row.differs = Differ(row.texts);
    rows.push_back(std::move(row));
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
