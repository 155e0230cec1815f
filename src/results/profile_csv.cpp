#include "results/profile_csv.h"

#include <array>
#include <future>
#include <string>
#include <vector>

#include "format/csv.h"
#include "format/file_writer.h"
#include "results/output_catalogue.h"

namespace tovimar {

namespace {

// The longest text of a number, or nothing, and its separator; a record of the largest
// run's profile has 16 of them.
constexpr std::size_t MaxFieldLength = ShortestNumberBufferSize + 1;
// A record longer than this many fields is formatted in pieces.
constexpr std::size_t FieldsPerPiece = 32;
// From this many points on, two threads format the records (a thread costs about as much
// as a few hundred records).
constexpr std::size_t PointsWorthASecondThread = 4096;

// Appends the records of points [begin, end) to `out`. Each record is formatted into a
// buffer on the stack and appended whole: one append per record instead of one string per
// number. The reserve holds fields of up to 19 characters (most are 17 or fewer), so that
// the text rarely needs moving; the part never written is never touched.
void AppendRecords(std::string& out, const RunResults& results,
                   const std::vector<const OutputQuantity*>& columns, std::size_t begin,
                   std::size_t end) {
  out.reserve(out.size() + (end - begin) * (columns.size() * 20 + 2));
  std::array<char, FieldsPerPiece * MaxFieldLength + 2> piece;
  for (std::size_t i = begin; i < end; ++i) {
    const ProfilePoint& point = results.line.points[i];
    char* at = piece.data();
    for (std::size_t c = 0; c < columns.size(); ++c) {
      if (c > 0 && c % FieldsPerPiece == 0) {
        out.append(piece.data(), at);
        at = piece.data();
      }
      if (c > 0) {
        *at++ = ',';
      }
      const OutputQuantity& column = *columns[c];
      if (column.point != nullptr) {
        at = ShortestNumberInto(at, column.point(point));
      } else if (const std::optional<double> value = PointValue(column, results, i)) {
        at = ShortestNumberInto(at, *value);
      }
    }
    *at++ = '\r';
    *at++ = '\n';
    out.append(piece.data(), at);
  }
}

}  // namespace

std::string FormatProfileCsv(const RunResults& results) {
  const std::size_t points = results.line.points.size();
  const std::vector<const OutputQuantity*> columns = QuantitiesIn(InProfileCsv, results.model);
  std::string out;
  for (const OutputQuantity* column : columns) {
    if (column != columns.front()) {
      out += ',';
    }
    AppendCsvField(out, ColumnTitle(*column));
  }
  EndCsvRecord(out);
  if (points < PointsWorthASecondThread) {
    AppendRecords(out, results, columns, 0, points);
    return out;
  }
  // A long profile: the second half of the records is formatted on another core meanwhile.
  const std::size_t half = points / 2;
  std::future<std::string> second = std::async(std::launch::async, [&] {
    std::string text;
    AppendRecords(text, results, columns, half, points);
    return text;
  });
  AppendRecords(out, results, columns, 0, half);
  out += second.get();
  return out;
}

void WriteProfileCsv(const std::string& path, const RunResults& results) {
  WriteTextFile(path, FormatProfileCsv(results), "profile CSV file");
}

}  // namespace tovimar
