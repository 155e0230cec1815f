#include "batch_names.h"

#include "conditionfile/line_file.h"
#include "results/output_catalogue.h"

namespace tovimar::batch {

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

std::string_view ScopeName(OutputScope scope) {
  switch (scope) {
    case OutputScope::Point:
      return "point";
    case OutputScope::Zone:
      return "zone";
    case OutputScope::Line:
      return "line";
  }
  return "";
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

void ListNames(std::ostream& out) {
  out << "# Inputs: entry\tfield\tcaption\tunit\tdefault\n";
  for (const ConditionField& field : ConditionFields()) {
    out << field.entryName << '\t' << field.fieldName << '\t' << FieldDisplayName(field) << '\t'
        << FieldUnit(field) << '\t' << field.defaultText << '\n';
  }
  out << SaveFileNameEntry << '\t' << SaveFileNameField << "\tSave File Name\t\t"
      << SaveFileNameDefault << '\n';
  out << "# Line settings: name\tcaption\tunit\n";
  for (const LineSetting& line : LineSettingCatalogue()) {
    out << line.name << '\t' << line.caption << '\t' << line.unit << '\n';
  }
  out << "# Outputs: name\tscope\tcaption\tunit\n";
  for (const OutputQuantity& quantity : OutputQuantities()) {
    out << quantity.name << '\t' << ScopeName(quantity.scope) << '\t' << quantity.caption << '\t'
        << quantity.unit << '\n';
  }
}

}  // namespace tovimar::batch
