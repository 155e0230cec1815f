// Picking a material for a solvent or the polymer: the entries it sets, and the warnings for
// fixed constants a data file held other values for.
#include "conditionfile/material_choice.h"

#include <algorithm>
#include <cmath>

#include "format/csv.h"
#include "input/field_catalogue.h"
#include "input/number_parse.h"

namespace tovimar {

namespace {

// Constants agree when they agree to this relative difference (six significant digits).
constexpr double SameConstant = 5e-6;

const std::vector<MaterialEntry> kSolvent1Entries{
    {"AntoineA1", AntoineA}, {"AntoineB1", AntoineB}, {"AntoineC1", AntoineC},
    {"HeatOfVaporization1", HeatOfVaporization}, {"Solvent1Cp", SolventSpecificHeat},
    {"Solvent1Density", SolventDensity}, {"Solvent1MolWeight", MolarMass},
    {"AirDiffusivity1", DiffusivityInAir}};
const std::vector<MaterialEntry> kSolvent2Entries{
    {"AntoineA2", AntoineA}, {"AntoineB2", AntoineB}, {"AntoineC2", AntoineC},
    {"HeatOfVaporization2", HeatOfVaporization}, {"Solvent2Cp", SolventSpecificHeat},
    {"Solvent2Density", SolventDensity}, {"Solvent2MolWeight", MolarMass},
    {"AirDiffusivity2", DiffusivityInAir}};
const std::vector<MaterialEntry> kPolymerEntries{
    {"PolymerDensity", PolymerDensity}, {"PolymerCp", PolymerSpecificHeat},
    {"PolymerMolWeight", PolymerMolarMass}};

bool SameNumber(double a, double b) {
  return std::fabs(a - b) <= SameConstant * std::max(std::fabs(a), std::fabs(b));
}

bool SameText(const std::string& a, const std::string& b) {
  const std::optional<double> x = ParseNumber(a);
  const std::optional<double> y = ParseNumber(b);
  return x && y ? *x == *y : a == b;
}

// The solvent whose Antoine constants are `texts` (A, B, C), or nullptr.
const Material* SolventWithTexts(const MaterialLibrary& library, const std::string& a, const std::string& b,
                                 const std::string& c) {
  const std::optional<double> x = ParseNumber(a);
  const std::optional<double> y = ParseNumber(b);
  const std::optional<double> z = ParseNumber(c);
  if (!x || !y || !z) return nullptr;
  for (const Material& solvent : library.solvents) {
    if (solvent.Value(AntoineA) && SameNumber(*solvent.Value(AntoineA), *x) &&
        SameNumber(*solvent.Value(AntoineB), *y) && SameNumber(*solvent.Value(AntoineC), *z)) {
      return &solvent;
    }
  }
  return nullptr;
}

}  // namespace

const std::vector<MaterialSlotInfo>& MaterialSlots() {
  static const std::vector<MaterialSlotInfo> slots{
      {MaterialSlot::Solvent1, "Solvent1", "Solvent-1", MaterialKind::Solvent},
      {MaterialSlot::Solvent2, "Solvent2", "Solvent-2", MaterialKind::Solvent},
      {MaterialSlot::Polymer, "Polymer", "Polymer", MaterialKind::Polymer},
  };
  return slots;
}

const MaterialSlotInfo& SlotInfo(MaterialSlot slot) { return MaterialSlots()[static_cast<std::size_t>(slot)]; }

std::optional<MaterialSlot> FindMaterialSlot(std::string_view name) {
  for (const MaterialSlotInfo& info : MaterialSlots()) {
    if (info.name == name) return info.slot;
  }
  return std::nullopt;
}

const std::vector<MaterialEntry>& MaterialEntries(MaterialSlot slot) {
  // The tables name the record fields; the entries are the catalogue's.
  const auto entriesOf = [](const std::vector<MaterialEntry>& fields) {
    std::vector<MaterialEntry> entries;
    for (const MaterialEntry& m : fields) entries.push_back({FindField(m.entryName)->entryName, m.property});
    return entries;
  };
  static const std::vector<MaterialEntry> entries[] = {entriesOf(kSolvent1Entries), entriesOf(kSolvent2Entries),
                                                       entriesOf(kPolymerEntries)};
  return entries[static_cast<std::size_t>(slot)];
}

MaterialAssignment AssignmentOf(const MaterialLibrary& library, MaterialSlot slot, std::string_view key) {
  const MaterialSlotInfo& info = SlotInfo(slot);
  const Material* material = library.Find(info.kind, key);
  const std::string kind = info.kind == MaterialKind::Solvent ? "solvent" : "polymer";
  if (material == nullptr) {
    throw MaterialLibraryError("The materials library has no " + kind + " \"" + std::string(key) +
                               "\" (tovimar-batch --list-materials lists them).");
  }
  if (const std::vector<std::string> missing = material->MissingForRun(); !missing.empty()) {
    std::string list;
    for (const std::string& caption : missing) list += (list.empty() ? "" : ", ") + caption;
    throw MaterialLibraryError("The " + kind + " \"" + material->key + "\" cannot be used for " +
                               std::string(info.caption) + ": the materials library has no " + list + " for it.");
  }
  MaterialAssignment assignment;
  const std::vector<MaterialProperty>& properties = MaterialProperties(info.kind);
  for (const MaterialEntry& entry : MaterialEntries(slot)) {
    if (const std::optional<double>& value = material->Value(entry.property)) {
      assignment.entries.emplace_back(entry.entryName, ShortestNumberText(*value));
    } else {
      assignment.kept.push_back(material->key + " has no " +
                                std::string(properties[static_cast<std::size_t>(entry.property)].caption) +
                                " in the materials library: " + FieldDisplayName(*FindField(entry.entryName)) +
                                " keeps the value in use.");
    }
  }
  if (info.kind == MaterialKind::Solvent) {
    assignment.lowerExplosiveLimit = material->Value(LowerExplosiveLimit);
    if (!assignment.lowerExplosiveLimit) {
      assignment.kept.push_back(material->key + " has no lower explosive limit in the materials library: the LEL of " +
                                std::string(info.caption) + " keeps the value in use.");
    }
  }
  return assignment;
}

std::string& RecordedMaterial(LineSettings& line, MaterialSlot slot) {
  switch (slot) {
    case MaterialSlot::Solvent1:
      return line.Solvent1;
    case MaterialSlot::Solvent2:
      return line.Solvent2;
    case MaterialSlot::Polymer:
      break;
  }
  return line.Polymer;
}

const std::string& RecordedMaterial(const LineSettings& line, MaterialSlot slot) {
  return RecordedMaterial(const_cast<LineSettings&>(line), slot);
}

const Material* MaterialHeldBy(const MaterialLibrary& library, MaterialSlot slot, const EntryTexts& entries) {
  for (const Material& m : SlotInfo(slot).kind == MaterialKind::Solvent ? library.solvents : library.polymers) {
    if (!m.MissingForRun().empty()) continue;
    const MaterialAssignment assignment = AssignmentOf(library, slot, m.key);
    if (std::all_of(assignment.entries.begin(), assignment.entries.end(),
                    [&](const auto& entry) { return SameText(entries.Text(entry.first), entry.second); })) {
      return &m;
    }
  }
  return nullptr;
}

const Material* SolventWithConstants(const MaterialLibrary& library, MaterialSlot slot, const EntryTexts& entries) {
  const std::vector<MaterialEntry>& list = MaterialEntries(slot);
  return SolventWithTexts(library, entries.Text(list[0].entryName), entries.Text(list[1].entryName),
                          entries.Text(list[2].entryName));
}

std::vector<std::string> KeptEntryWarnings(const std::vector<KeptEntry>& kept, const EntryTexts& entries,
                                           const MaterialLibrary* library) {
  // The file's own text of an entry, or the one in use when the file left it alone.
  const auto fileText = [&](const std::string& entryName) {
    for (const KeptEntry& k : kept) {
      if (k.entryName == entryName) return k.fileText;
    }
    return entries.Text(entryName);
  };
  std::vector<std::string> warnings;
  for (const KeptEntry& k : kept) {
    const std::string inUse = entries.Text(k.entryName);
    if (SameText(k.fileText, inUse)) continue;
    const ConditionField& field = *FindField(k.entryName);
    std::string warning = "Warning: the data file's " + FieldDisplayName(field) + " (" + k.fileText +
                          ") differs from the one in use (" + inUse +
                          "); choose the solvent to use other constants.";
    if (library != nullptr && field.group != FieldGroup::Polymer) {
      const MaterialSlot slot = field.group == FieldGroup::Solvent1 ? MaterialSlot::Solvent1 : MaterialSlot::Solvent2;
      const std::vector<MaterialEntry>& list = MaterialEntries(slot);
      if (const Material* solvent = SolventWithTexts(*library, fileText(list[0].entryName),
                                                     fileText(list[1].entryName), fileText(list[2].entryName))) {
        warning.pop_back();
        warning += ": the data file's vapour-pressure constants of " + std::string(SlotInfo(slot).caption) +
                   " are those of " + solvent->name + " (library key " + solvent->key + ").";
      }
    }
    warnings.push_back(std::move(warning));
  }
  return warnings;
}

}  // namespace tovimar
