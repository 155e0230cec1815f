// Picking a material: its entries, its diffusion-model parameters and its pair values with
// the other materials the line names; and the values of named materials that were changed
// after the pick, which the line settings keep so that a run can be repeated.
#include <algorithm>

#include "conditionfile/material_choice.h"
#include "format/csv.h"
#include "input/field_catalogue.h"
#include "input/line_catalogue.h"
#include "input/number_parse.h"

namespace tovimar {

namespace {

// The line settings a material's free-volume parameters go to, per slot.
struct FreeVolumeTarget {
  const char* holeVolume;
  const char* k1OverGamma;
  const char* k2MinusTg;
};
constexpr FreeVolumeTarget kFreeVolumeTargets[] = {
    {"HoleVolume1", "K1Gamma1", "K2MinusTg1"},
    {"HoleVolume2", "K1Gamma2", "K2MinusTg2"},
    {"HoleVolumePolymer", "K1GammaPolymer", "K2MinusTgPolymer"},
};

// Where a solvent slot's pair values with the polymer go: three line settings and the
// interaction parameter's entry (by field name).
struct PairTarget {
  MaterialSlot solvent;
  const char* xi;
  const char* D0;
  const char* E;
  const char* chi;
};
constexpr PairTarget kPairTargets[] = {
    {MaterialSlot::Solvent1, "Xi1", "D0_1", "ActivationEnergy1", "Chi1p"},
    {MaterialSlot::Solvent2, "Xi2", "D0_2", "ActivationEnergy2", "Chi2p"},
};

bool SameText(const std::string& a, const std::string& b) {
  const std::optional<double> x = ParseNumber(a);
  const std::optional<double> y = ParseNumber(b);
  return x && y ? *x == *y : a == b;
}

// Collects what a group of values sets and, for those the library lacks, one message naming
// the settings that keep their values.
class GroupAssignment {
 public:
  GroupAssignment(MaterialPick& pick, std::string what) : pick_(pick), what_(std::move(what)) {}
  ~GroupAssignment() = default;
  GroupAssignment(const GroupAssignment&) = delete;
  GroupAssignment& operator=(const GroupAssignment&) = delete;

  void Setting(const char* name, const std::optional<double>& value) {
    const LineSetting& setting = *FindLineSetting(name);
    if (value) {
      SetLineSetting(pick_.line, setting, *value);
    } else {
      Missing(setting.name);
    }
  }
  void Entry(const char* fieldName, const std::optional<double>& value) {
    const ConditionField& field = *FindField(fieldName);
    if (value) {
      pick_.entries.emplace_back(field.entryName, ShortestNumberText(*value));
    } else {
      Missing(field.fieldName);
      entryKept_ = true;  // an entry every run uses
    }
  }
  // Adds the message for the values the library lacks, if any.
  void Finish() {
    if (missing_.empty()) return;
    pick_.kept.push_back({what_ + " in the materials library: " + missing_ +
                              (count_ == 1 ? " keeps the value in use." : " keep the values in use."),
                          !entryKept_});
  }

 private:
  void Missing(const std::string& name) {
    missing_ += (missing_.empty() ? "" : ", ") + name;
    ++count_;
  }
  MaterialPick& pick_;
  std::string what_;
  std::string missing_;
  int count_ = 0;
  bool entryKept_ = false;
};

void AssignFreeVolume(MaterialPick& pick, MaterialSlot slot, const Material& material) {
  const FreeVolumeTarget& target = kFreeVolumeTargets[static_cast<std::size_t>(slot)];
  GroupAssignment group(pick, material.key + " has no free-volume parameter for " +
                                  std::string(SlotInfo(slot).caption));
  group.Setting(target.holeVolume, material.freeVolume.holeVolume);
  group.Setting(target.k1OverGamma, material.freeVolume.k1OverGamma);
  group.Setting(target.k2MinusTg, material.freeVolume.k2MinusTg);
  group.Finish();
}

// The pair of `polymer` and the solvent `solventKey` in the solvent slot of `target`.
void AssignPair(MaterialPick& pick, const PairTarget& target, const Material& polymer, const std::string& solventKey) {
  static const PairValues none;
  const PairValues* found = polymer.Pair(solventKey);
  const PairValues& pair = found != nullptr ? *found : none;
  GroupAssignment group(pick, solventKey + " with " + polymer.key + " has no pair value");
  group.Setting(target.xi, pair.xi);
  group.Setting(target.D0, pair.D0);
  group.Setting(target.E, pair.E);
  group.Entry(target.chi, pair.chi);
  group.Finish();
}

}  // namespace

MaterialPick PickMaterial(const MaterialLibrary& library, MaterialSlot slot, std::string_view key,
                          const LineSettings& line) {
  MaterialAssignment assignment = AssignmentOf(library, slot, key);
  const Material& material = *library.Find(SlotInfo(slot).kind, key);
  MaterialPick pick{std::move(assignment.entries), line, {}};
  for (std::string& message : assignment.kept) pick.kept.push_back({std::move(message)});
  if (assignment.lowerExplosiveLimit) {
    (slot == MaterialSlot::Solvent1 ? pick.line.LEL1 : pick.line.LEL2) = *assignment.lowerExplosiveLimit;
  }
  RecordedMaterial(pick.line, slot) = std::string(key);
  std::erase_if(pick.line.MaterialOverrides, [&](const auto& o) {
    return FindField(o.first)->group == (slot == MaterialSlot::Solvent1   ? FieldGroup::Solvent1
                                         : slot == MaterialSlot::Solvent2 ? FieldGroup::Solvent2
                                                                          : FieldGroup::Polymer);
  });
  AssignFreeVolume(pick, slot, material);
  for (const PairTarget& target : kPairTargets) {
    if (slot == MaterialSlot::Polymer) {
      const std::string& solvent = RecordedMaterial(line, target.solvent);
      if (!solvent.empty()) AssignPair(pick, target, material, solvent);
    } else if (slot == target.solvent && !line.Polymer.empty()) {
      if (const Material* polymer = library.Find(MaterialKind::Polymer, line.Polymer)) {
        AssignPair(pick, target, *polymer, material.key);
      }
    }
  }
  return pick;
}

std::vector<std::string> ApplyMaterial(const MaterialLibrary& library, MaterialSlot slot, std::string_view key,
                                       MapEntryTexts& entries, LineSettings& line) {
  MaterialPick pick = PickMaterial(library, slot, key, line);
  for (const auto& [entry, text] : pick.entries) entries.ForceText(entry, text);
  line = std::move(pick.line);
  std::vector<std::string> messages;
  for (KeptValues& kept : pick.kept) messages.push_back(std::move(kept.message));
  return messages;
}

std::vector<std::pair<std::string, std::string>> RecordedEntries(const MaterialLibrary& library,
                                                                 const LineSettings& line, MaterialSlot slot) {
  const std::string& key = RecordedMaterial(line, slot);
  if (key.empty()) return {};
  std::vector<std::pair<std::string, std::string>> entries = AssignmentOf(library, slot, key).entries;
  for (const auto& [fieldName, text] : line.MaterialOverrides) {
    const ConditionField* field = FindField(fieldName);
    for (auto& entry : entries) {
      if (field != nullptr && entry.first == field->entryName) entry.second = text;
    }
  }
  return entries;
}

void ApplyRecordedMaterials(const MaterialLibrary& library, MapEntryTexts& entries, const LineSettings& line) {
  for (const MaterialSlotInfo& info : MaterialSlots()) {
    for (const auto& [entry, text] : RecordedEntries(library, line, info.slot)) entries.ForceText(entry, text);
  }
}

void RecordMaterialOverrides(const MaterialLibrary& library, const EntryTexts& entries, LineSettings& line) {
  line.MaterialOverrides.clear();
  for (const MaterialSlotInfo& info : MaterialSlots()) {
    const std::string& key = RecordedMaterial(line, info.slot);
    if (key.empty()) continue;
    for (const auto& [entry, text] : AssignmentOf(library, info.slot, key).entries) {
      const std::string inUse = entries.Text(entry);
      if (!SameText(inUse, text)) line.MaterialOverrides.emplace_back(FindField(entry)->fieldName, inUse);
    }
  }
}

}  // namespace tovimar
