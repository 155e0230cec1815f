#include "results/profile_csv.h"

#include "format/csv.h"
#include "format/file_writer.h"
#include "results/output_catalogue.h"

namespace tovimar {

std::string FormatProfileCsv(const RunResults& results) {
  const LineProfile& profile = results.line;
  const std::vector<const OutputQuantity*> columns = QuantitiesIn(InProfileCsv);
  std::string out;
  out.reserve(300 + profile.points.size() * 200);
  for (const OutputQuantity* column : columns) {
    if (column != columns.front()) {
      out += ',';
    }
    AppendCsvField(out, ColumnTitle(*column));
  }
  EndCsvRecord(out);
  for (std::size_t i = 0; i < profile.points.size(); ++i) {
    for (const OutputQuantity* column : columns) {
      if (column != columns.front()) {
        out += ',';
      }
      if (const std::optional<double> value = PointValue(*column, results, i)) {
        AppendCsvNumber(out, *value);
      }
    }
    EndCsvRecord(out);
  }
  return out;
}

void WriteProfileCsv(const std::string& path, const RunResults& results) {
  WriteTextFile(path, FormatProfileCsv(results), "profile CSV file");
}

}  // namespace tovimar
