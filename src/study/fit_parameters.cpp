#include "study/fit.h"

#include <string>
#include <utility>

#include "format/entry_number.h"
#include "input/field_catalogue.h"
#include "input/line_catalogue.h"
#include "input/number_parse.h"

// What a fit may adjust, read from its text, and where the fitted values go.
namespace tovimar {

const LineSetting* FindModelParameter(std::string_view name) {
  const LineSetting* setting = FindLineSetting(name);
  return setting != nullptr && setting->object == "Model" && setting->type == LineSettingType::Number ? setting
                                                                                                       : nullptr;
}

std::optional<FitParameter> ParseFitParameter(std::string_view text, std::string& error) {
  const std::size_t equals = text.find('=');
  FitParameter p;
  p.name = std::string(text.substr(0, equals));
  const ConditionField* field = FindField(p.name);
  const LineSetting* modelSetting = FindModelParameter(p.name);
  if (field == nullptr && modelSetting != nullptr) {
    // A parameter of the drying model: it changes the run, from the line settings' model.
    p.caption = NameWithUnit(*modelSetting);
  } else if (field == nullptr) {
    if (p.name == SaveFileNameEntry || p.name == SaveFileNameField) {
      error = "the Save File Name (" + p.name + ") is a file setting, not a physical condition: it cannot be fitted";
    } else if (FindLineSetting(p.name) != nullptr) {
      error = p.name + " is a line setting, which judges a run but does not change it: it cannot be fitted";
    } else {
      error = "no condition entry or field named \"" + p.name +
              "\" (a numeric condition, tovimar-batch --list-names lists them)";
    }
    return std::nullopt;
  }
  if (field != nullptr) {
    if (std::optional<std::string> why = WhyNotFittable(*field)) {
      error = std::move(*why);
      return std::nullopt;
    }
    p.entryName = field->entryName;
    p.caption = field->name;
  }
  if (equals == std::string_view::npos) return p;
  const std::string_view range = text.substr(equals + 1);
  const std::size_t colon = range.find(':');
  if (colon == std::string_view::npos) {
    error = "a parameter is NAME or NAME=LOWER:UPPER, not \"" + std::string(text) + "\"";
    return std::nullopt;
  }
  for (const bool lower : {true, false}) {
    const std::string_view bound = lower ? range.substr(0, colon) : range.substr(colon + 1);
    if (bound.empty()) continue;
    const std::optional<double> v = ParseNumber(bound);
    if (!v) {
      error = "the bound \"" + std::string(bound) + "\" is not a number in \"" + std::string(text) + "\"";
      return std::nullopt;
    }
    (lower ? p.lower : p.upper) = *v;
  }
  if (p.lower && p.upper && !(*p.lower < *p.upper)) {
    error = "the lower bound must lie below the upper one in \"" + std::string(text) + "\"";
    return std::nullopt;
  }
  return p;
}

std::optional<std::string> WhyNotFittable(const ConditionField& field) {
  if (field.group == FieldGroup::Accuracy) {
    return "the " + field.name + " (" + field.fieldName +
           ") is a setting of the numerical march, not a physical condition: it cannot be fitted";
  }
  return std::nullopt;
}

std::vector<FittedEntry> FittedEntries(const FitResult& result) {
  std::vector<FittedEntry> out;
  for (const FittedValue& v : result.values) {
    if (v.parameter.entryName.empty()) continue;  // a model parameter: the line settings hold it
    out.push_back({v.parameter.entryName, EntryNumberText(v.value)});
  }
  return out;
}

LineSettings FittedLineSettings(const FitResult& result, LineSettings line) {
  for (const FittedValue& v : result.values) {
    if (const LineSetting* setting = FindModelParameter(v.parameter.name)) SetLineSetting(line, *setting, v.value);
  }
  return line;
}

}  // namespace tovimar
