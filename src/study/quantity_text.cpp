#include "study/quantity_text.h"

#include <cmath>

#include "input/line_catalogue.h"
#include "input/field_catalogue.h"
#include "model/number_text.h"
#include "results/output_catalogue.h"

namespace tovimar {

namespace {

// The catalogues write a temperature as "C" (the CSV titles), "deg C" or "℃"; a ratio as
// "-" or "weight fraction"; an exhaust flow with the normal conditions it is measured at.
std::string Readable(std::string_view unit) {
  if (unit == "C" || unit == "deg C" || unit == "\u2103") return "\u00b0C";
  if (unit == "-" || unit == "weight fraction") return "";
  if (const std::size_t at = unit.find(" at "); at != std::string_view::npos) {
    return std::string(unit.substr(0, at));
  }
  return std::string(unit);
}

}  // namespace

std::string ReadableUnitOf(std::string_view name) {
  if (const ConditionField* field = FindField(name)) return Readable(field->unit);
  if (const LineSetting* setting = FindLineSetting(name)) return Readable(setting->unit);
  if (const OutputQuantity* quantity = FindOutput(name)) return Readable(quantity->unit);
  return "";
}

std::string ReadableQuantity(const std::optional<double>& value, std::string_view unit, int digits) {
  if (!value) return "none";
  if (std::isnan(*value)) return "not a number";
  if (std::isinf(*value)) return *value > 0 ? "unbounded" : "-unbounded";
  std::string text = ShortNumber(*value, digits);
  if (!unit.empty()) text += ' ' + std::string(unit);
  return text;
}

}  // namespace tovimar
