#include "conditionfile/measured_data.h"

#include "conditionfile/input_file.h"
#include "format/file_writer.h"
#include "input/number_parse.h"
#include "model/errors.h"

namespace tovimar {

namespace {

constexpr std::array<MeasuredColumn, MeasuredQuantityCount> kColumns{{
    {MeasuredQuantity::WebTemp, "web temperature (C)", "WebTemp", 1.0},
    {MeasuredQuantity::Residual1, "solvent-1 residual ratio", "Residual1", 0.01},
    {MeasuredQuantity::Residual2, "solvent-2 residual ratio", "Residual2", 0.01},
    {MeasuredQuantity::Weight1, "solvent-1 weight (kg/m2)", "Solvent1Weight", 0.001},
    {MeasuredQuantity::Weight2, "solvent-2 weight (kg/m2)", "Solvent2Weight", 0.001},
}};

// One record's fields; a quoted field loses its quotes and has its doubled quotes undone.
// Nothing when a quote is left open or stray text follows a closing quote.
std::optional<std::vector<std::string>> SplitRecord(std::string_view record) {
  std::vector<std::string> fields(1);
  std::size_t i = 0;
  while (i <= record.size()) {
    std::string& field = fields.back();
    if (i < record.size() && record[i] == '"' && field.empty()) {
      ++i;
      for (;;) {
        if (i >= record.size()) return std::nullopt;
        if (record[i] == '"') {
          if (i + 1 < record.size() && record[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        field += record[i++];
      }
      if (i < record.size() && record[i] != ',') return std::nullopt;
    }
    if (i >= record.size()) break;
    if (record[i] == ',') {
      fields.emplace_back();
    } else {
      field += record[i];
    }
    ++i;
  }
  return fields;
}

[[noreturn]] void Refuse(std::string_view fileName, std::size_t line, std::size_t column,
                         const std::string& what) {
  std::string where = std::string(fileName) + ": line " + std::to_string(line);
  if (column != 0) where += ", column " + std::to_string(column);
  throw InputError(where + ": " + what);
}

bool IsBlank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

}  // namespace

const std::array<MeasuredColumn, MeasuredQuantityCount>& MeasuredColumns() { return kColumns; }

const MeasuredColumn& MeasuredColumnOf(MeasuredQuantity quantity) {
  return kColumns[static_cast<std::size_t>(quantity)];
}

std::optional<MeasuredQuantity> FindMeasuredQuantity(std::string_view name) {
  for (const MeasuredColumn& c : kColumns) {
    if (c.title == name || c.shortName == name) return c.quantity;
  }
  return std::nullopt;
}

MeasuredData::MeasuredData() {
  for (const MeasuredColumn& c : kColumns) sd[static_cast<std::size_t>(c.quantity)] = c.defaultSd;
}

std::size_t MeasuredData::Count(MeasuredQuantity q) const {
  std::size_t n = 0;
  for (const Measurement& m : values) n += m.quantity == q ? 1 : 0;
  return n;
}

namespace {

// The measurements of one file, taken in line by line.
class MeasuredReader {
 public:
  explicit MeasuredReader(std::string_view fileName) : fileName_(fileName) {}

  void Add(std::string_view record, std::size_t lineNumber) {
    lineNumber_ = lineNumber;
    if (!record.empty() && record.back() == '\r') record.remove_suffix(1);
    if (!haveHeader_) record = WithoutByteOrderMark(record);
    if (IsBlank(record)) return;
    const std::optional<std::vector<std::string>> fields = SplitRecord(record);
    if (!fields) Refuse(fileName_, lineNumber, 0, "a quoted field is not closed correctly");
    if (!haveHeader_) {
      ReadHeader(*fields);
    } else {
      ReadRow(*fields);
    }
  }

  MeasuredData Finish() {
    if (!haveHeader_) Refuse(fileName_, 1, 0, "the file is empty");
    if (data_.values.empty()) Refuse(fileName_, lineNumber_, 0, "the file holds no measurement");
    return std::move(data_);
  }

 private:
  void ReadHeader(const std::vector<std::string>& fields) {
    haveHeader_ = true;
    bool havePosition = false;
    for (std::size_t c = 0; c < fields.size(); ++c) {
      const std::string& title = fields[c];
      if (title == MeasuredPositionTitle) {
        if (havePosition) Refuse(fileName_, lineNumber_, c + 1, "the column \"" + title + "\" appears twice");
        havePosition = true;
        positionColumn_ = c;
        kinds_.emplace_back();
        continue;
      }
      const std::optional<MeasuredQuantity> q = FindMeasuredQuantity(title);
      if (!q || title != MeasuredColumnOf(*q).title) {
        Refuse(fileName_, lineNumber_, c + 1,
               "unknown column \"" + title + "\" (a measurement file takes \"" +
                   std::string(MeasuredPositionTitle) +
                   "\" and the profile CSV's web temperature, residual ratio and weight columns)");
      }
      for (MeasuredQuantity seen : data_.columns) {
        if (seen == *q) Refuse(fileName_, lineNumber_, c + 1, "the column \"" + title + "\" appears twice");
      }
      data_.columns.push_back(*q);
      kinds_.emplace_back(q);
    }
    if (!havePosition) {
      Refuse(fileName_, lineNumber_, 0,
             "the header has no column \"" + std::string(MeasuredPositionTitle) + "\"");
    }
    if (data_.columns.empty()) Refuse(fileName_, lineNumber_, 0, "the header names no measured quantity");
  }

  void ReadRow(const std::vector<std::string>& fields) {
    if (fields.size() != kinds_.size()) {
      Refuse(fileName_, lineNumber_, 0,
             std::to_string(fields.size()) + " fields where the header has " + std::to_string(kinds_.size()));
    }
    std::optional<double> position;
    std::vector<Measurement> row;
    for (std::size_t c = 0; c < fields.size(); ++c) {
      const std::string& cell = fields[c];
      if (IsBlank(cell)) continue;
      const std::optional<double> value = ParseNumber(cell);
      if (!value) Refuse(fileName_, lineNumber_, c + 1, "\"" + cell + "\" is not a number");
      if (c == positionColumn_) {
        if (*value < 0) Refuse(fileName_, lineNumber_, c + 1, "the position " + cell + " is negative");
        position = *value;
      } else {
        row.push_back(Measurement{0, *kinds_[c], *value, lineNumber_});
      }
    }
    if (!row.empty() && !position) {
      Refuse(fileName_, lineNumber_, positionColumn_ + 1, "a row with measurements needs a position");
    }
    if (data_.values.size() + row.size() > MaxMeasurements) {
      Refuse(fileName_, lineNumber_, 0, "more than " + std::to_string(MaxMeasurements) + " measurements");
    }
    for (Measurement& m : row) {
      m.position = *position;
      data_.values.push_back(m);
    }
  }

  std::string_view fileName_;
  MeasuredData data_;
  std::size_t positionColumn_ = 0;                      // index into the header's fields
  std::vector<std::optional<MeasuredQuantity>> kinds_;  // per header field; none: the position
  bool haveHeader_ = false;
  std::size_t lineNumber_ = 0;
};

MeasuredData ReadMeasured(InputSource& source, std::string_view fileName) {
  LineReader lines(source, std::string(fileName));
  MeasuredReader reader(fileName);
  std::string line;
  while (lines.Next(line)) reader.Add(line, lines.LineNumber());
  return reader.Finish();
}

}  // namespace

MeasuredData ParseMeasuredData(std::string_view text, std::string_view fileName) {
  TextSource source(text);
  return ReadMeasured(source, fileName);
}

MeasuredData ReadMeasuredData(const std::string& path) {
  FileSource file(path, "measurement file");
  return ReadMeasured(file, path);
}

void ApplyStandardDeviation(MeasuredData& data, std::string_view assignment) {
  const std::size_t equals = assignment.find('=');
  if (equals == std::string_view::npos) {
    throw InputError("--sd needs NAME=VALUE, got \"" + std::string(assignment) + "\"");
  }
  const std::string_view name = assignment.substr(0, equals);
  const std::optional<MeasuredQuantity> q = FindMeasuredQuantity(name);
  if (!q) {
    throw InputError("--sd: no measured quantity named \"" + std::string(name) +
                     "\" (WebTemp, Residual1, Residual2, Solvent1Weight, Solvent2Weight or their column titles)");
  }
  const std::string_view text = assignment.substr(equals + 1);
  const std::optional<double> value = ParseNumber(text);
  if (!value || !(*value > 0)) {
    throw InputError("--sd: the standard deviation \"" + std::string(text) + "\" of " +
                     std::string(name) + " is not a positive number");
  }
  data.sd[static_cast<std::size_t>(*q)] = *value;
}

}  // namespace tovimar
