#include "results/summary_csv.h"

#include "format/csv.h"

namespace tovimar {

namespace {

// The summary's columns group by group: the group's line quantities, then its zone
// quantities (repeated zone by zone).
struct SummaryGroup {
  std::vector<const OutputQuantity*> line, zone;
};

const std::vector<SummaryGroup>& SummaryGroups() {
  static const std::vector<SummaryGroup> groups = [] {
    std::vector<SummaryGroup> made;
    for (const OutputQuantity* quantity : QuantitiesIn(InSummary, AnyModel)) {
      const auto group = static_cast<std::size_t>(quantity->summaryGroup);
      if (made.size() <= group) {
        made.resize(group + 1);
      }
      (quantity->scope == OutputScope::Zone ? made[group].zone : made[group].line).push_back(quantity);
    }
    return made;
  }();
  return groups;
}

void AppendField(std::string& out, const std::optional<double>& value) {
  out += ',';
  if (value) {
    AppendCsvQuantity(out, *value);
  }
}

}  // namespace

SummaryValues SummaryValuesOf(const RunResults& results) {
  SummaryValues values;
  values.zones.resize(results.summary.zones.size());
  for (const SummaryGroup& group : SummaryGroups()) {
    for (const OutputQuantity* quantity : group.line) {
      values.line.push_back(LineValue(*quantity, results));
    }
    for (std::size_t zone = 1; zone <= values.zones.size(); ++zone) {
      for (const OutputQuantity* quantity : group.zone) {
        values.zones[zone - 1].push_back(ZoneValue(*quantity, results, zone));
      }
    }
  }
  return values;
}

void AppendSummaryHeader(std::string& out, std::size_t zones, std::string_view model) {
  for (const SummaryGroup& group : SummaryGroups()) {
    for (const OutputQuantity* quantity : group.line) {
      if (!ShownFor(*quantity, model)) continue;
      out += ',';
      AppendCsvField(out, ColumnTitle(*quantity));
    }
    for (std::size_t zone = 1; zone <= zones; ++zone) {
      for (const OutputQuantity* quantity : group.zone) {
        if (!ShownFor(*quantity, model)) continue;
        out += ',';
        AppendCsvField(out, ColumnTitle(*quantity, static_cast<int>(zone)));
      }
    }
  }
}

void AppendSummaryValues(std::string& out, const SummaryValues& values, std::size_t zones,
                         std::string_view model) {
  std::size_t lineAt = 0;
  std::vector<std::size_t> zoneAt(zones, 0);
  for (const SummaryGroup& group : SummaryGroups()) {
    for (std::size_t i = 0; i < group.line.size(); ++i, ++lineAt) {
      if (!ShownFor(*group.line[i], model)) continue;
      AppendField(out, lineAt < values.line.size() ? values.line[lineAt] : std::nullopt);
    }
    for (std::size_t zone = 0; zone < zones; ++zone) {
      const bool has = zone < values.zones.size();
      for (std::size_t i = 0; i < group.zone.size(); ++i, ++zoneAt[zone]) {
        if (!ShownFor(*group.zone[i], model)) continue;
        AppendField(out, has && zoneAt[zone] < values.zones[zone].size() ? values.zones[zone][zoneAt[zone]]
                                                                         : std::nullopt);
      }
    }
  }
}

}  // namespace tovimar
