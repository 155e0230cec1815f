#include "study/sweep.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "format/csv.h"
#include "input/field_catalogue.h"
#include "input/number_parse.h"

// A sweep's axes read from their texts, and the names of its result files.
namespace tovimar {

namespace {

// How far beyond TO a value may lie, in steps, and still count as TO.
constexpr double EndTolerance = 1e-9;

std::optional<double> SweepNumber(std::string_view text, std::string_view what,
                                  std::string_view sweepText, std::string& error) {
  const std::optional<double> value = ParseNumber(text);
  if (!value) {
    error = "--sweep: " + std::string(what) + " \"" + std::string(text) +
            "\" is not a number in \"" + std::string(sweepText) + "\"";
  }
  return value;
}

}  // namespace

namespace {

// The decimals a number is written with: the digits after its point, less its exponent
// ("0.05" 2, "1e-3" 3, "1.5e1" 0); never more than a double can tell apart.
int DecimalsOf(std::string_view text) {
  int decimals = 0;
  const std::size_t point = text.find('.');
  const std::size_t exponent = text.find_first_of("eE");
  if (point != std::string_view::npos) {
    const std::size_t end = exponent == std::string_view::npos ? text.size() : exponent;
    decimals = static_cast<int>(end > point ? end - point - 1 : 0);
  }
  if (exponent != std::string_view::npos) {
    const std::optional<double> power = ParseNumber(text.substr(exponent + 1));
    if (power && std::fabs(*power) < 400) {
      decimals -= static_cast<int>(*power);
    }
  }
  return std::clamp(decimals, 0, 17);
}

}  // namespace

double SweepAxis::Value(std::size_t i) const {
  const double raw = from + static_cast<double>(i) * step;
  // Rounded through its decimal text, so that the value is the very decimal the text shows.
  std::array<char, 400> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), raw,
                                    std::chars_format::fixed, decimals);
  if (result.ec != std::errc()) {
    return raw;
  }
  const std::optional<double> rounded = ParseNumber(std::string_view(buffer.data(), result.ptr));
  return rounded ? *rounded : raw;
}

std::string SweepAxis::ValueText(std::size_t i) const { return ShortestNumberText(Value(i)); }

std::optional<SweepAxis> ParseSweepAxis(std::string_view sweepText, std::string& error) {
  const std::size_t equals = sweepText.find('=');
  if (equals == std::string_view::npos) {
    error = "--sweep needs NAME=FROM:TO:STEP, got \"" + std::string(sweepText) + "\"";
    return std::nullopt;
  }
  SweepAxis axis;
  axis.name = std::string(sweepText.substr(0, equals));
  const ConditionField* field = FindField(axis.name);
  if (field == nullptr) {
    error = "--sweep: no condition entry or field named \"" + axis.name +
            "\" (a numeric condition; tovimar-batch --list-names lists every name)";
    return std::nullopt;
  }
  axis.entryName = field->entryName;

  const std::string_view range = sweepText.substr(equals + 1);
  const std::size_t colon1 = range.find(':');
  const std::size_t colon2 = colon1 == std::string_view::npos ? colon1 : range.find(':', colon1 + 1);
  if (colon2 == std::string_view::npos || range.find(':', colon2 + 1) != std::string_view::npos) {
    error = "--sweep needs NAME=FROM:TO:STEP, got \"" + std::string(sweepText) + "\"";
    return std::nullopt;
  }
  const auto from = SweepNumber(range.substr(0, colon1), "FROM", sweepText, error);
  if (!from) return std::nullopt;
  const auto to = SweepNumber(range.substr(colon1 + 1, colon2 - colon1 - 1), "TO", sweepText, error);
  if (!to) return std::nullopt;
  const auto step = SweepNumber(range.substr(colon2 + 1), "STEP", sweepText, error);
  if (!step) return std::nullopt;
  axis.from = *from;
  axis.to = *to;
  axis.step = *step;
  axis.decimals = std::max(DecimalsOf(range.substr(0, colon1)), DecimalsOf(range.substr(colon2 + 1)));

  if (axis.from == axis.to) {
    axis.count = 1;
    return axis;
  }
  if (axis.step == 0) {
    error = "--sweep: STEP must not be 0 in \"" + std::string(sweepText) + "\"";
    return std::nullopt;
  }
  const double steps = (axis.to - axis.from) / axis.step;
  if (!std::isfinite(steps)) {
    error = "--sweep: the range of \"" + std::string(sweepText) + "\" is too wide";
    return std::nullopt;
  }
  if (steps < -EndTolerance) {
    error = "--sweep: STEP " + std::string(range.substr(colon2 + 1)) +
            " leads away from TO in \"" + std::string(sweepText) + "\"";
    return std::nullopt;
  }
  const double last = std::floor(steps + EndTolerance);
  if (last >= static_cast<double>(MaxSweepRuns)) {
    error = "--sweep: \"" + std::string(sweepText) + "\" gives more than " +
            std::to_string(MaxSweepRuns) + " values";
    return std::nullopt;
  }
  axis.count = static_cast<std::size_t>(last) + 1;
  if (!std::isfinite(axis.Value(axis.count - 1))) {
    error = "--sweep: the values of \"" + std::string(sweepText) + "\" are out of range";
    return std::nullopt;
  }
  return axis;
}

std::optional<std::size_t> SweepRunCount(const std::vector<SweepAxis>& axes, std::string& error) {
  if (axes.empty() || axes.size() > 2) {
    error = "give one --sweep, or two for a grid";
    return std::nullopt;
  }
  if (axes.size() == 2 && axes[0].entryName == axes[1].entryName) {
    error = "--sweep: both sweeps set " + axes[0].entryName;
    return std::nullopt;
  }
  std::size_t runs = 1;
  for (const SweepAxis& axis : axes) {
    if (axis.count == 0 || axis.count > MaxSweepRuns / runs) {
      error = "--sweep: more than " + std::to_string(MaxSweepRuns) + " runs";
      return std::nullopt;
    }
    runs *= axis.count;
  }
  return runs;
}

std::string SweepResultFileName(std::size_t run, std::size_t runs) {
  const std::size_t width = std::max<std::size_t>(4, std::to_string(runs).size());
  std::string number = std::to_string(run);
  if (number.size() < width) {
    number.insert(0, width - number.size(), '0');
  }
  return "result-" + number + ".txt";
}

}  // namespace tovimar
