// The names and units of fields as people read them, from their condition-section labels.
#include <string>
#include <utility>

#include "input/field_catalogue.h"

namespace tovimar {

namespace {

// The label's trailing "(unit)" and the label before it.
std::pair<std::string, std::string> SplitUnit(const std::string& label) {
  std::string text = label;
  while (!text.empty() && text.back() == ' ') {
    text.pop_back();
  }
  if (!text.empty() && text.back() == ')') {
    const std::size_t open = text.rfind('(');
    if (open != std::string::npos) {
      std::string unit = text.substr(open + 1, text.size() - open - 2);
      text.erase(open);
      while (!text.empty() && text.back() == ' ') {
        text.pop_back();
      }
      return {text, unit};
    }
  }
  return {text, ""};
}

}  // namespace

std::string FieldDisplayName(const ConditionField& field) {
  std::string name = SplitUnit(field.label).first;
  // The data-file label of the initial coating weight has a double space.
  for (std::size_t at = name.find("  "); at != std::string::npos; at = name.find("  ")) {
    name.erase(at, 1);
  }
  if (field.zoneArray != nullptr) {
    name += " of zone " + std::to_string(field.zone);
  }
  return name;
}

std::string FieldUnit(const ConditionField& field) { return SplitUnit(field.label).second; }

}  // namespace tovimar
