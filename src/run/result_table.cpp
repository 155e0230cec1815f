#include "run/result_table.h"

#include <array>
#include <cmath>
#include <string>
#include <string_view>

#include "format/fixed_format.h"

namespace tovimar {

namespace {

constexpr std::string_view LineEnd = "\r\n";

constexpr std::array<std::string_view, 3> HeadingLines{
    "  [SIMULATION RESULTS]",
    "   TIME     LENGTH     TEMP     WEIGHT1  RESIDUAL RAT1   WEIGHT2  RESIDUAL RAT2",
    "    (s)       (m)     (deg-C)   (kg/m2)       (-)         (kg/m2)       (-)",
};

// One column of a data line: the spaces written before it, its number format, and the
// padding of its text. A text of minPadded to width - 1 characters gets spaces in front up
// to `width`; any other length is written unchanged (a longer one is never cut).
struct Column {
  int spacesBefore;
  int precision;
  int decimals;
  int minPadded;  // 0: never padded
  int width;
};

constexpr Column TimeColumn{0, 8, 3, 5, 8};
constexpr Column LengthColumn{3, 7, 3, 5, 7};
constexpr Column TempColumn{4, 6, 2, 4, 6};
constexpr Column Weight1Column{4, 7, 5, 0, 0};
constexpr Column Residual1Column{6, 6, 4, 0, 0};
constexpr Column Weight2Column{6, 7, 5, 0, 0};
constexpr Column Residual2Column{6, 6, 4, 0, 0};

// The longest data line: seven fields of at most FixedFormatBufferSize characters, their
// separators and padding, and the line end.
constexpr std::size_t MaxDataLine = 7 * (FixedFormatBufferSize + 8) + 2;

// Appends the column's separating spaces, its padding and its text to `line` at `n`.
std::size_t PutColumn(char* line, std::size_t n, const Column& column, double value) {
  for (int i = 0; i < column.spacesBefore; ++i) {
    line[n++] = ' ';
  }
  char text[FixedFormatBufferSize];
  const std::size_t length = FixedFormatInto(text, value, column.precision, column.decimals);
  const int len = static_cast<int>(length);
  if (column.minPadded > 0 && len >= column.minPadded && len < column.width) {
    for (int i = len; i < column.width; ++i) {
      line[n++] = ' ';
    }
  }
  for (std::size_t i = 0; i < length; ++i) {
    line[n++] = text[i];
  }
  return n;
}

}  // namespace

void FormatResultTable(std::string& out, const Simulation& sim, std::int32_t k, std::int32_t n) {
  if (k < 1 || k > MaxZones) {
    throw StepCountError("no result table for zone " + std::to_string(k) + " (zones 1 to " +
                         std::to_string(MaxZones) + ")");
  }
  if (n > MaxStepsPerZone) {
    throw StepCountError("zone " + std::to_string(k) + " has " + std::to_string(n) +
                         " steps; a zone holds at most " + std::to_string(MaxStepsPerZone));
  }
  const DryingProfile& p = *sim.profile;
  const auto zone = static_cast<std::size_t>(k);

  const std::int32_t rows = n < 0 ? 0 : n + 1;
  out.reserve(out.size() + 200 + static_cast<std::size_t>(rows) * 80);
  for (std::string_view heading : HeadingLines) {
    out.append(heading);
    out.append(LineEnd);
  }
  out.append(LineEnd);

  char line[MaxDataLine];
  for (std::int32_t r = 0; r < rows; ++r) {
    const auto i = static_cast<std::size_t>(r);
    const double length = PositionInZone(sim, r);
    if (!std::isfinite(length)) [[unlikely]] {
      // A huge Increment of z over few steps: the march stays finite, the position does not.
      throw ArithmeticError("Arithmetic error in zone " + std::to_string(k) + ", step " +
                            std::to_string(r) +
                                ": overflow in the position in the zone (step x time increment "
                                "x speed)",
                            {k, r});
    }
    std::size_t c = 0;
    c = PutColumn(line, c, TimeColumn, p.ProfileTime[zone][i]);
    c = PutColumn(line, c, LengthColumn, length);
    c = PutColumn(line, c, TempColumn, p.ProfileTemp[zone][i]);
    c = PutColumn(line, c, Weight1Column, p.ProfileSolvent1Weight[zone][i]);
    c = PutColumn(line, c, Residual1Column, p.ProfileResidual1[zone][i]);
    c = PutColumn(line, c, Weight2Column, p.ProfileSolvent2Weight[zone][i]);
    c = PutColumn(line, c, Residual2Column, p.ProfileResidual2[zone][i]);
    line[c++] = '\r';
    line[c++] = '\n';
    out.append(line, c);
  }
}

void WriteResultTable(const Simulation& sim, const ResultSink& file,
                      std::int32_t k, std::int32_t n) {
  std::string text;
  FormatResultTable(text, sim, k, n);
  file.Append(text);
}

}  // namespace tovimar
