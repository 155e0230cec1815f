#include "input/condition_overrides.h"

namespace tovimar {

void ConditionOverrides::Set(const ConditionField& field, double value) {
  for (auto& [set, v] : values_) {
    if (set == &field) {
      v = value;
      return;
    }
  }
  values_.emplace_back(&field, value);
}

std::optional<double> ConditionOverrides::Find(const ConditionField& field) const {
  for (const auto& [set, v] : values_) {
    if (set == &field) {
      return v;
    }
  }
  return std::nullopt;
}

bool SetStudyInput(std::string_view name, double value, ConditionOverrides& overrides, LineSettings& line) {
  if (const ConditionField* field = FindField(name)) {
    overrides.Set(*field, value);
    return true;
  }
  if (const LineSetting* setting = FindNumericLineSetting(name)) {
    SetLineSetting(line, *setting, value);
    return true;
  }
  return false;
}

const LineSetting* FindNumericLineSetting(std::string_view name) {
  const LineSetting* setting = FindLineSetting(name);
  return setting != nullptr && setting->type == LineSettingType::Number ? setting : nullptr;
}

}  // namespace tovimar
