// The text forms of a design search's variables, objective and limits, the checks a
// problem must pass before it is searched, and a point of it set into the conditions.
#include <algorithm>
#include <cmath>

#include "input/condition_overrides.h"
#include "format/csv.h"
#include "input/field_catalogue.h"
#include "input/number_parse.h"
#include "results/output_catalogue.h"
#include "study/optimise.h"

namespace tovimar {

namespace {

bool IsInput(std::string_view name) {
  return FindField(name) != nullptr || FindNumericLineSetting(name) != nullptr;
}

bool IsLineQuantity(std::string_view name) {
  const OutputQuantity* quantity = FindOutput(name);
  return quantity != nullptr && quantity->scope == OutputScope::Line;
}

bool IsZoneQuantity(std::string_view name) {
  const OutputQuantity* quantity = FindOutput(name);
  return quantity != nullptr && quantity->scope == OutputScope::Zone;
}

bool IsVaried(const OptimiseProblem& problem, std::string_view name) {
  return std::any_of(problem.variables.begin(), problem.variables.end(),
                     [&](const OptimiseVariable& variable) { return variable.name == name; });
}

// Whether the line settings give zone `zone` an exhaust flow (0 included: a zone without
// exhaust air), so that its exhaust is judged.
bool HasExhaustFlow(const LineSettings& line, int zone) {
  return line.ZoneExhaustFlow[static_cast<std::size_t>(zone)].has_value();
}

std::string Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return std::string(text);
}

// The entry or line setting a variable sets: the entry name of a condition field, so that
// "LineSpeed" and "Edit6" count as one.
std::string VariableKey(const std::string& name) {
  const ConditionField* field = FindField(name);
  return field != nullptr ? field->entryName : name;
}

}  // namespace

std::string LimitName(const OptimiseLimit& limit) {
  return limit.zone == 0 ? limit.name : limit.name + "[" + std::to_string(limit.zone) + "]";
}


std::vector<OptimiseLimit> LineLimits(const OptimiseProblem& problem, const LineSettings& line) {
  std::vector<OptimiseLimit> limits;
  for (int zone = 1; zone <= MaxZones; ++zone) {
    if (HasExhaustFlow(line, zone) ||
        IsVaried(problem, "ZoneExhaustFlow[" + std::to_string(zone) + "]")) {
      limits.push_back({"ZoneExhaustLEL", LimitSense::AtMost, line.LELLimitOfZone(zone), zone, true});
    }
  }
  if (line.ResidualTarget || IsVaried(problem, "ResidualTarget")) {
    limits.push_back({"LineEndResidualSolvent", LimitSense::AtMost, line.ResidualTarget.value_or(0), 0, true});
  }
  limits.push_back({"LeastBoilingMargin", LimitSense::AtLeast, line.BoilingMarginMin, 0, true});
  return limits;
}

std::optional<OptimiseVariable> ParseOptimiseVariable(std::string_view text, std::string& error) {
  const std::size_t equals = text.find('=');
  const std::size_t colon = text.find(':', equals == std::string_view::npos ? 0 : equals);
  if (equals == std::string_view::npos || colon == std::string_view::npos) {
    error = "a variable is NAME=LOWER:UPPER, not \"" + std::string(text) + "\"";
    return std::nullopt;
  }
  OptimiseVariable variable;
  variable.name = Trimmed(text.substr(0, equals));
  if (!IsInput(variable.name)) {
    error = "no condition field or line setting named \"" + variable.name +
            "\"" + std::string(ListNamesHint);
    return std::nullopt;
  }
  const std::optional<double> lower = ParseNumber(Trimmed(text.substr(equals + 1, colon - equals - 1)));
  const std::optional<double> upper = ParseNumber(Trimmed(text.substr(colon + 1)));
  if (!lower || !upper) {
    error = "the bounds of \"" + std::string(text) + "\" are not two numbers";
    return std::nullopt;
  }
  variable.lower = *lower;
  variable.upper = *upper;
  return variable;
}

std::optional<OptimiseObjective> ParseOptimiseObjective(std::string_view text, std::string& error) {
  OptimiseObjective objective;
  if (text.substr(0, 4) == "max:") {
    objective.sense = OptimiseSense::Maximise;
  } else if (text.substr(0, 4) == "min:") {
    objective.sense = OptimiseSense::Minimise;
  } else {
    error = "an objective is max:NAME or min:NAME, not \"" + std::string(text) + "\"";
    return std::nullopt;
  }
  objective.name = Trimmed(text.substr(4));
  if (!IsLineQuantity(objective.name) && !IsInput(objective.name)) {
    error = "no line quantity or input named \"" + objective.name +
            "\"" + std::string(ListNamesHint);
    return std::nullopt;
  }
  return objective;
}

std::optional<OptimiseLimit> ParseOptimiseLimit(std::string_view text, std::string& error) {
  OptimiseLimit limit;
  std::size_t at = text.find("<=");
  limit.sense = LimitSense::AtMost;
  if (at == std::string_view::npos) {
    at = text.find(">=");
    limit.sense = LimitSense::AtLeast;
  }
  if (at == std::string_view::npos) {
    error = "a limit is NAME<=BOUND or NAME>=BOUND, not \"" + std::string(text) + "\"";
    return std::nullopt;
  }
  limit.name = Trimmed(text.substr(0, at));
  if (!IsLineQuantity(limit.name)) {
    error = "no line quantity named \"" + limit.name + "\"" + std::string(ListNamesHint);
    return std::nullopt;
  }
  const std::optional<double> bound = ParseNumber(Trimmed(text.substr(at + 2)));
  if (!bound || !std::isfinite(*bound)) {
    error = "the bound of \"" + std::string(text) + "\" is not a number";
    return std::nullopt;
  }
  limit.bound = *bound;
  return limit;
}

std::optional<OptimiseProblemFault> FindOptimiseProblemFault(const OptimiseProblem& problem) {
  using Kind = OptimiseProblemFault::Kind;
  if (problem.variables.empty()) return OptimiseProblemFault{Kind::NoVariable, {}};
  std::vector<std::string> keys;
  for (const OptimiseVariable& variable : problem.variables) {
    if (!IsInput(variable.name)) return OptimiseProblemFault{Kind::UnknownVariable, variable.name};
    if (!std::isfinite(variable.lower) || !std::isfinite(variable.upper) ||
        !(variable.lower < variable.upper)) {
      return OptimiseProblemFault{Kind::BadBounds, variable.name};
    }
    const std::string key = VariableKey(variable.name);
    if (std::find(keys.begin(), keys.end(), key) != keys.end()) {
      return OptimiseProblemFault{Kind::VariedTwice, variable.name};
    }
    keys.push_back(key);
  }
  if (!IsLineQuantity(problem.objective.name) && !IsInput(problem.objective.name)) {
    return OptimiseProblemFault{Kind::UnknownObjective, problem.objective.name};
  }
  if (FindNumericLineSetting(problem.objective.name) != nullptr &&
      std::find(keys.begin(), keys.end(), problem.objective.name) == keys.end()) {
    return OptimiseProblemFault{Kind::ObjectiveNotVaried, problem.objective.name};
  }
  for (const OptimiseLimit& limit : problem.limits) {
    const bool known = limit.zone == 0 ? IsLineQuantity(limit.name)
                                       : limit.zone <= MaxZones && limit.zone > 0 && IsZoneQuantity(limit.name);
    if (!known) return OptimiseProblemFault{Kind::UnknownLimit, LimitName(limit)};
    if (!std::isfinite(limit.bound)) return OptimiseProblemFault{Kind::BadLimitBound, limit.name};
  }
  return std::nullopt;
}

std::string OptionText(const OptimiseProblemFault& fault) {
  using Kind = OptimiseProblemFault::Kind;
  const std::string hint(ListNamesHint);
  switch (fault.kind) {
    case Kind::NoVariable: return "give at least one variable (--vary NAME=LOWER:UPPER)";
    case Kind::UnknownVariable: return "no condition field or line setting named \"" + fault.name + "\"" + hint;
    case Kind::BadBounds: return "the bounds of " + fault.name + " must be finite with LOWER < UPPER";
    case Kind::VariedTwice: return fault.name + " is varied twice";
    case Kind::UnknownObjective: return "no line quantity or input named \"" + fault.name + "\"" + hint;
    case Kind::ObjectiveNotVaried: return "a line setting is an objective only when it is varied: " + fault.name;
    case Kind::UnknownLimit: return "no line quantity named \"" + fault.name + "\"" + hint;
    case Kind::BadLimitBound: return "the bound of the limit on " + fault.name + " is not finite";
  }
  return "the problem cannot be searched";
}

std::optional<std::string> CheckOptimiseProblem(const OptimiseProblem& problem) {
  const std::optional<OptimiseProblemFault> fault = FindOptimiseProblemFault(problem);
  if (!fault) return std::nullopt;
  return OptionText(*fault);
}

void ApplyOptimisePoint(const OptimiseProblem& problem, const std::vector<double>& values,
                        MapEntryTexts& entries, LineSettings& line) {
  for (std::size_t i = 0; i < problem.variables.size() && i < values.size(); ++i) {
    if (const ConditionField* field = FindField(problem.variables[i].name)) {
      entries.ForceText(field->entryName, ShortestNumberText(values[i]));
    } else if (const LineSetting* setting = FindNumericLineSetting(problem.variables[i].name)) {
      SetLineSetting(line, *setting, values[i]);
    }
  }
}

void SetOptimisePoint(const OptimiseProblem& problem, const std::vector<double>& values,
                      ConditionOverrides& overrides, LineSettings& line) {
  for (std::size_t i = 0; i < problem.variables.size() && i < values.size(); ++i) {
    SetStudyInput(problem.variables[i].name, values[i], overrides, line);
  }
}

}  // namespace tovimar
