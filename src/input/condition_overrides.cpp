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

}  // namespace tovimar
