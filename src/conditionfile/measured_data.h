#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovimar {

// Measurements taken on the line, to compare the model with and to fit it to: a CSV file
// whose header uses the profile CSV's column titles, "position along the line (m)" and any
// of the measurable quantities below; one measurement a row, empty cells allowed.

// The quantities a measurement file can hold, in the order of MeasuredColumns().
enum class MeasuredQuantity { WebTemp, Residual1, Residual2, Weight1, Weight2 };
inline constexpr std::size_t MeasuredQuantityCount = 5;

struct MeasuredColumn {
  MeasuredQuantity quantity;
  std::string_view title;      // the profile CSV's column title, "web temperature (C)"
  std::string_view shortName;  // the output catalogue's stable name, "WebTemp"
  double defaultSd;            // the standard deviation a measurement has unless told
};

// Every measurable quantity with its title, short name and default standard deviation
// (1 K; 0.01 for the residual ratios; 0.001 kg/m2 for the weights).
const std::array<MeasuredColumn, MeasuredQuantityCount>& MeasuredColumns();
const MeasuredColumn& MeasuredColumnOf(MeasuredQuantity quantity);

// The title of the position column.
inline constexpr std::string_view MeasuredPositionTitle = "position along the line (m)";

// The quantity whose title or short name is `name`; nothing when there is none.
std::optional<MeasuredQuantity> FindMeasuredQuantity(std::string_view name);

// One measured value.
struct Measurement {
  double position = 0;  // m from the entrance of zone 1
  MeasuredQuantity quantity = MeasuredQuantity::WebTemp;
  double value = 0;
  std::size_t line = 0;  // the file's line it came from (1-based)
};

struct MeasuredData {
  std::vector<MeasuredQuantity> columns;  // the quantities of the header, in its order
  std::vector<Measurement> values;        // row by row, each row's cells left to right
  // The standard deviation of each quantity, by MeasuredQuantity.
  std::array<double, MeasuredQuantityCount> sd{};

  MeasuredData();
  [[nodiscard]] double Sd(MeasuredQuantity q) const { return sd[static_cast<std::size_t>(q)]; }
  [[nodiscard]] std::size_t Count(MeasuredQuantity q) const;
};

// A file with more measurements is refused.
inline constexpr std::size_t MaxMeasurements = 1000000;

// Reads measurements from CSV text; `fileName` names the file in messages. Records end
// with LF or CR LF; a field may be quoted as RFC 4180 allows; blank lines are skipped; a
// UTF-8 byte-order mark before the header is skipped. Throws InputError naming the line
// (and column, counted from 1) for: an empty file, a header without the position column,
// an unknown or repeated column, a header with no measured quantity, a record with more or
// fewer fields than the header, a cell that is not a number, a row with values but no
// position, a negative position, more than MaxMeasurements measurements, and a file
// without a single measurement; FileError (BadContent, "NAME: line N is longer than
// 16 MiB") for a line longer than MaxInputLineLength.
MeasuredData ParseMeasuredData(std::string_view text, std::string_view fileName);

// Reads the measurement file at `path` line by line, as ParseMeasuredData. Throws FileError
// (CannotOpen, "Measurement file can not open! ("PATH": REASON)") when it cannot be opened or
// read: missing, a directory, a device, a named pipe with no writer.
MeasuredData ReadMeasuredData(const std::string& path);

// Applies "NAME=VALUE" (NAME a column title or short name, VALUE a positive number) to the
// standard deviations; throws InputError saying what is wrong.
void ApplyStandardDeviation(MeasuredData& data, std::string_view assignment);

}  // namespace tovimar
