#include "results/summary_csv.h"

#include "format/csv.h"

namespace tovimar {

SummaryValues SummaryValuesOf(const RunResults& results) {
  SummaryValues values;
  const std::vector<const OutputQuantity*> shown = QuantitiesIn(InSummary);
  for (const OutputQuantity* quantity : shown) {
    if (quantity->scope == OutputScope::Line) {
      values.line.push_back(LineValue(*quantity, results));
    }
  }
  for (std::size_t zone = 1; zone <= results.summary.zones.size(); ++zone) {
    std::vector<std::optional<double>>& row = values.zones.emplace_back();
    for (const OutputQuantity* quantity : shown) {
      if (quantity->scope == OutputScope::Zone) {
        row.push_back(ZoneValue(*quantity, results, zone));
      }
    }
  }
  return values;
}

void AppendSummaryHeader(std::string& out, std::size_t zones) {
  const std::vector<const OutputQuantity*> shown = QuantitiesIn(InSummary);
  for (const OutputQuantity* quantity : shown) {
    if (quantity->scope == OutputScope::Line) {
      out += ',';
      AppendCsvField(out, ColumnTitle(*quantity));
    }
  }
  for (std::size_t zone = 1; zone <= zones; ++zone) {
    for (const OutputQuantity* quantity : shown) {
      if (quantity->scope == OutputScope::Zone) {
        out += ',';
        AppendCsvField(out, ColumnTitle(*quantity, static_cast<int>(zone)));
      }
    }
  }
}

namespace {

std::size_t ZoneColumnCount() {
  std::size_t count = 0;
  for (const OutputQuantity* quantity : QuantitiesIn(InSummary)) {
    count += quantity->scope == OutputScope::Zone ? 1 : 0;
  }
  return count;
}

void AppendFields(std::string& out, const std::vector<std::optional<double>>& fields) {
  for (const std::optional<double>& value : fields) {
    out += ',';
    if (value) {
      AppendCsvNumber(out, *value);
    }
  }
}

}  // namespace

void AppendSummaryValues(std::string& out, const SummaryValues& values, std::size_t zones) {
  if (values.line.empty()) {
    std::size_t lineColumns = 0;
    for (const OutputQuantity* quantity : QuantitiesIn(InSummary)) {
      lineColumns += quantity->scope == OutputScope::Line ? 1 : 0;
    }
    out.append(lineColumns, ',');
  } else {
    AppendFields(out, values.line);
  }
  const std::size_t perZone = ZoneColumnCount();
  for (std::size_t zone = 0; zone < zones; ++zone) {
    if (zone < values.zones.size()) {
      AppendFields(out, values.zones[zone]);
    } else {
      out.append(perZone, ',');
    }
  }
}

}  // namespace tovimar
