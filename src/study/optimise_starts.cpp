// Where a design search starts: the present conditions and a Latin hypercube over the
// bounds, every point scaled to 0..1 per variable.
#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <string>
#include <tuple>
#include <utility>

#include "input/condition_overrides.h"
#include "input/field_catalogue.h"
#include "input/number_parse.h"
#include "study/optimise.h"

namespace tovimar {

namespace {

// Where the base point lies: the variable's present value clamped into its bounds, scaled to
// 0..1; the middle when it has none.
double BaseScaled(const OptimiseVariable& variable, const MapEntryTexts& base, const LineSettings& line) {
  const std::optional<double> value = InputValue(variable.name, base, line);
  if (!value || !std::isfinite(*value)) return 0.5;
  return std::clamp((*value - variable.lower) / (variable.upper - variable.lower), 0.0, 1.0);
}

// A field's range of use when the catalogue gives it as "LOW to HIGH" in numbers.
std::optional<std::pair<double, double>> NumericRange(const std::string& range) {
  const std::size_t to = range.find(" to ");
  if (to == std::string::npos) return std::nullopt;
  const std::optional<double> low = ParseNumber(range.substr(0, to));
  const std::optional<double> high = ParseNumber(range.substr(to + 4));
  if (!low || !high || !(*low < *high)) return std::nullopt;
  return std::pair{*low, *high};
}

}  // namespace

std::optional<double> InputValue(std::string_view name, const EntryTexts& entries, const LineSettings& line) {
  if (const ConditionField* field = FindField(name)) return ParseNumber(entries.Text(field->entryName));
  const LineSetting* setting = FindNumericLineSetting(name);
  return setting != nullptr ? setting->Number(line) : std::nullopt;
}

OptimiseVariable DefaultVariable(std::string_view name, const EntryTexts& entries, const LineSettings& line) {
  const ConditionField* field = FindField(name);
  const std::optional<std::pair<double, double>> range =
      field != nullptr ? NumericRange(field->range) : std::nullopt;
  OptimiseVariable variable{field != nullptr ? field->fieldName : std::string(name), 0, 1};
  if (range) std::tie(variable.lower, variable.upper) = *range;
  const std::optional<double> value = InputValue(name, entries, line);
  if (!value || !std::isfinite(*value) || *value == 0) return variable;
  double lower = std::min(*value / 2, *value * 2);
  double upper = std::max(*value / 2, *value * 2);
  if (range) {
    lower = std::max(lower, range->first);
    upper = std::min(upper, range->second);
  }
  if (lower < upper) {
    variable.lower = lower;
    variable.upper = upper;
  }
  return variable;
}

std::vector<std::vector<double>> OptimiseStarts(const OptimiseProblem& problem, const MapEntryTexts& base,
                                                const LineSettings& line, std::size_t starts,
                                                std::uint64_t seed) {
  const std::size_t n = problem.variables.size();
  std::vector<std::vector<double>> points{std::vector<double>(n)};
  for (std::size_t i = 0; i < n; ++i) {
    points[0][i] = BaseScaled(problem.variables[i], base, line);
  }
  if (starts > 1) {
    for (std::vector<double>& point : LatinHypercube(starts - 1, n, seed)) {
      points.push_back(std::move(point));
    }
  }
  return points;
}

std::vector<std::vector<double>> LatinHypercube(std::size_t count, std::size_t dimensions,
                                                std::uint64_t seed) {
  std::mt19937_64 random(seed);
  std::uniform_real_distribution<double> within(0.0, 1.0);
  std::vector<std::vector<double>> points(count, std::vector<double>(dimensions));
  std::vector<std::size_t> strata(count);
  for (std::size_t d = 0; d < dimensions; ++d) {
    std::iota(strata.begin(), strata.end(), std::size_t{0});
    std::shuffle(strata.begin(), strata.end(), random);
    for (std::size_t i = 0; i < count; ++i) {
      points[i][d] = (static_cast<double>(strata[i]) + within(random)) / static_cast<double>(count);
    }
  }
  return points;
}

}  // namespace tovimar
