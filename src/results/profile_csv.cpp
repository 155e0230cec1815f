#include "results/profile_csv.h"

#include "format/csv.h"
#include "format/file_writer.h"
#include "results/output_catalogue.h"

namespace tovimar {

std::string FormatProfileCsv(const LineProfile& profile) {
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
  for (const ProfilePoint& point : profile.points) {
    for (const OutputQuantity* column : columns) {
      if (column != columns.front()) {
        out += ',';
      }
      AppendCsvNumber(out, column->point(point));
    }
    EndCsvRecord(out);
  }
  return out;
}

void WriteProfileCsv(const std::string& path, const LineProfile& profile) {
  WriteTextFile(path, FormatProfileCsv(profile), "profile CSV file");
}

}  // namespace tovimar
