#pragma once

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "input/field_catalogue.h"
#include "input/line_catalogue.h"
#include "input/line_settings.h"

namespace tovimar {

// Typed values that stand in for the texts of condition entries: a study (the optimiser, the
// fit) sets the conditions it varies by value, and the condition reader takes each value
// where it would have read the entry's text. An overridden zone Outer Temperature takes part
// in the zone chain by its value: present, and ending the chain when it is 0. A value that
// is not a finite number is read as a text that is not a number.
class ConditionOverrides {
 public:
  // Sets the value of `field`, replacing one set before.
  void Set(const ConditionField& field, double value);
  // The value set for `field`; none when its entry's text is to be read.
  [[nodiscard]] std::optional<double> Find(const ConditionField& field) const;
  [[nodiscard]] bool empty() const { return values_.empty(); }

 private:
  std::vector<std::pair<const ConditionField*, double>> values_;
};

// Sets the numeric input named `name` that a study varies: a condition field ("LineSpeed",
// "Edit6") through `overrides`, a numeric line setting ("ZoneExhaustFlow[2]") in `line`,
// checked as the line file checks it (throws LineSettingError, `line` unchanged, for a value
// out of its range). False, with nothing set, when `name` is neither.
bool SetStudyInput(std::string_view name, double value, ConditionOverrides& overrides, LineSettings& line);

// The numeric line setting named `name`; nullptr for a text setting or any other name.
const LineSetting* FindNumericLineSetting(std::string_view name);

}  // namespace tovimar
