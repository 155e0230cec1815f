#include "conditionfile/measured_data.h"

#include <cerrno>
#include <fstream>
#include <iterator>
#include <system_error>

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

MeasuredData ParseMeasuredData(std::string_view text, std::string_view fileName) {
  MeasuredData data;
  std::size_t positionColumn = 0;              // index into the header's fields
  std::vector<std::optional<MeasuredQuantity>> kinds;  // per header field; none: the position
  bool haveHeader = false;
  std::size_t lineNumber = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view record = text.substr(start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!record.empty() && record.back() == '\r') record.remove_suffix(1);
    if (IsBlank(record)) continue;
    const std::optional<std::vector<std::string>> fields = SplitRecord(record);
    if (!fields) Refuse(fileName, lineNumber, 0, "a quoted field is not closed correctly");

    if (!haveHeader) {
      haveHeader = true;
      bool havePosition = false;
      for (std::size_t c = 0; c < fields->size(); ++c) {
        const std::string& title = (*fields)[c];
        if (title == MeasuredPositionTitle) {
          if (havePosition) Refuse(fileName, lineNumber, c + 1, "the column \"" + title + "\" appears twice");
          havePosition = true;
          positionColumn = c;
          kinds.emplace_back();
          continue;
        }
        const std::optional<MeasuredQuantity> q = FindMeasuredQuantity(title);
        if (!q || title != MeasuredColumnOf(*q).title) {
          Refuse(fileName, lineNumber, c + 1,
                 "unknown column \"" + title + "\" (a measurement file takes \"" +
                     std::string(MeasuredPositionTitle) +
                     "\" and the profile CSV's web temperature, residual ratio and weight columns)");
        }
        for (MeasuredQuantity seen : data.columns) {
          if (seen == *q) Refuse(fileName, lineNumber, c + 1, "the column \"" + title + "\" appears twice");
        }
        data.columns.push_back(*q);
        kinds.emplace_back(q);
      }
      if (!havePosition) {
        Refuse(fileName, lineNumber, 0,
               "the header has no column \"" + std::string(MeasuredPositionTitle) + "\"");
      }
      if (data.columns.empty()) Refuse(fileName, lineNumber, 0, "the header names no measured quantity");
      continue;
    }

    if (fields->size() != kinds.size()) {
      Refuse(fileName, lineNumber, 0,
             std::to_string(fields->size()) + " fields where the header has " + std::to_string(kinds.size()));
    }
    std::optional<double> position;
    std::vector<Measurement> row;
    for (std::size_t c = 0; c < fields->size(); ++c) {
      const std::string& cell = (*fields)[c];
      if (IsBlank(cell)) continue;
      const std::optional<double> value = ParseNumber(cell);
      if (!value) Refuse(fileName, lineNumber, c + 1, "\"" + cell + "\" is not a number");
      if (c == positionColumn) {
        if (*value < 0) Refuse(fileName, lineNumber, c + 1, "the position " + cell + " is negative");
        position = *value;
      } else {
        row.push_back(Measurement{0, *kinds[c], *value, lineNumber});
      }
    }
    if (!row.empty() && !position) {
      Refuse(fileName, lineNumber, positionColumn + 1, "a row with measurements needs a position");
    }
    for (Measurement& m : row) {
      m.position = *position;
      data.values.push_back(m);
    }
  }
  if (!haveHeader) Refuse(fileName, 1, 0, "the file is empty");
  if (data.values.empty()) Refuse(fileName, lineNumber, 0, "the file holds no measurement");
  return data;
}

MeasuredData ReadMeasuredData(const std::string& path) {
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) {
    const int error = errno;
    throw FileError(FileError::Failure::CannotOpen,
                    "The measurement file \"" + path + "\" cannot be opened.", path,
                    error != 0 ? std::generic_category().message(error) : "");
  }
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) {
    throw FileError(FileError::Failure::CannotOpen,
                    "The measurement file \"" + path + "\" cannot be read.", path, "");
  }
  return ParseMeasuredData(text, path);
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
