#include "run/profile_csv.h"

#include "conditionfile/text_file.h"
#include "run/csv.h"

namespace tovimar {

std::string FormatProfileCsv(const LineProfile& profile) {
  std::string out;
  out.reserve(300 + profile.points.size() * 200);
  bool first = true;
  for (const std::string_view column : ProfileCsvColumns) {
    if (!first) {
      out += ',';
    }
    first = false;
    AppendCsvField(out, column);
  }
  EndCsvRecord(out);
  for (const ProfilePoint& point : profile.points) {
    out += std::to_string(point.zone);
    out += ',';
    out += std::to_string(point.step);
    for (const double value :
         {point.time, point.positionInZone, point.position, point.temp, point.weight1,
          point.weight2, point.residual1, point.residual2, point.fraction1, point.fraction2,
          point.dryingCorrection}) {
      out += ',';
      AppendCsvNumber(out, value);
    }
    EndCsvRecord(out);
  }
  return out;
}

void WriteProfileCsv(const std::string& path, const LineProfile& profile) {
  WriteTextFile(path, FormatProfileCsv(profile), "profile CSV file");
}

}  // namespace tovimar
