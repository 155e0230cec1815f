#include "format/entry_number.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <system_error>

#include "format/csv.h"
#include "format/fixed_format.h"

namespace tovimar {

namespace {

// `v` rounded to `digits` significant decimal digits (1 to 17), as the double nearest that
// decimal: printed in scientific form with digits - 1 decimals and read back. Nothing when
// the rounding leaves the range of a double (1.8e+308 from the largest double).
std::optional<double> RoundToSignificant(double v, int digits) {
  std::array<char, 40> buffer;
  const auto printed = std::to_chars(buffer.data(), buffer.data() + buffer.size(), v,
                                     std::chars_format::scientific, digits - 1);
  double rounded = 0;
  if (std::from_chars(buffer.data(), printed.ptr, rounded).ec != std::errc()) return std::nullopt;
  return rounded;
}

bool WithinTolerance(double candidate, double v) {
  return std::fabs(candidate - v) <= EntryNumberTolerance * std::fabs(v);
}

}  // namespace

std::vector<double> EntryNumberChoices(double v, int digits) {
  std::vector<double> choices;
  if (!std::isfinite(v) || digits < 1 || digits > 17) return choices;
  const std::optional<double> nearest = RoundToSignificant(v, digits);
  if (!nearest) return choices;
  if (WithinTolerance(*nearest, v)) choices.push_back(*nearest);
  if (*nearest == 0) return choices;
  // A unit of the last digit, and the decimals a unit away, rounded again so that they are
  // the doubles nearest those decimals.
  const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(*nearest))) - (digits - 1));
  for (const double side : {*nearest - unit, *nearest + unit}) {
    const std::optional<double> neighbour = RoundToSignificant(side, digits);
    if (neighbour && WithinTolerance(*neighbour, v) &&
        std::find(choices.begin(), choices.end(), *neighbour) == choices.end()) {
      choices.push_back(*neighbour);
    }
  }
  return choices;
}

std::string EntryNumberText(double v) {
  if (!std::isfinite(v)) {
    throw NonFiniteValueError("a value that is not a finite number has no text");
  }
  if (v == 0) return "0";
  // The fewest significant digits whose rounding stays within the tolerance; 17 digits give
  // the value itself.
  for (int digits = 1; digits < 17; ++digits) {
    const std::optional<double> rounded = RoundToSignificant(v, digits);
    if (rounded && WithinTolerance(*rounded, v)) {
      return ShortestNumberText(*rounded);
    }
  }
  return ShortestNumberText(v);
}

}  // namespace tovimar
