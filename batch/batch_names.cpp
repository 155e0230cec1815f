#include "batch_names.h"

#include "conditionfile/line_file.h"
#include "format/csv.h"
#include "results/output_catalogue.h"

namespace tovimar::batch {

namespace {

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

namespace {

// "cannot be used: no A, B" for a material a run cannot use; empty otherwise.
std::string UseOf(const Material& material) {
  std::string missing;
  for (const std::string& caption : material.MissingForRun()) missing += (missing.empty() ? "" : ", ") + caption;
  return missing.empty() ? std::string() : "cannot be used: no " + missing;
}

}  // namespace

void ListMaterials(std::ostream& out, const MaterialLibrary& library) {
  out << "# Solvents: key\tname\tnormal boiling point (C)\tuse\n";
  for (const Material& solvent : library.solvents) {
    const std::optional<double>& boiling = solvent.Value(NormalBoilingPoint);
    out << solvent.key << '\t' << solvent.name << '\t' << (boiling ? ShortestNumberText(*boiling) : "") << '\t'
        << UseOf(solvent) << '\n';
  }
  out << "# Polymers: key\tname\tuse\n";
  for (const Material& polymer : library.polymers) {
    out << polymer.key << '\t' << polymer.name << '\t' << UseOf(polymer) << '\n';
  }
}

}  // namespace tovimar::batch
