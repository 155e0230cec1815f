#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "conditionfile/data_file.h"
#include "conditionfile/material_library.h"
#include "input/entry_texts.h"
#include "input/line_settings.h"

namespace tovimar {

// The three places a material is picked for, by the names --set and the line file use.
enum class MaterialSlot { Solvent1, Solvent2, Polymer };

struct MaterialSlotInfo {
  MaterialSlot slot;
  std::string_view name;     // "Solvent1"
  std::string_view caption;  // "Solvent-1"
  MaterialKind kind;
};

// Solvent1, Solvent2, Polymer, in that order.
const std::vector<MaterialSlotInfo>& MaterialSlots();
const MaterialSlotInfo& SlotInfo(MaterialSlot slot);

// The slot named `name` ("Solvent1"); nothing for any other name.
std::optional<MaterialSlot> FindMaterialSlot(std::string_view name);

// What picking a material sets: the entries (name and text), the lower explosive limit of a
// solvent's line setting, and a message for each property the library does not hold and
// that therefore keeps its value.
struct MaterialAssignment {
  std::vector<std::pair<std::string, std::string>> entries;
  std::optional<double> lowerExplosiveLimit;
  std::vector<std::string> kept;
};

// Every entry a material of the slot's kind sets, with the library property it takes.
struct MaterialEntry {
  std::string entryName;  // "Edit224" (the tables behind it name the record fields)
  int property;           // SolventValue or PolymerValue
};
const std::vector<MaterialEntry>& MaterialEntries(MaterialSlot slot);

// What picking `key` for `slot` sets. Throws MaterialLibraryError for an unknown key and for
// a material the library lacks a property a run needs of (the message names them).
MaterialAssignment AssignmentOf(const MaterialLibrary& library, MaterialSlot slot, std::string_view key);

// What picking a material sets: the entries (the slot's, and the interaction parameters chi
// of the solvent and the polymer where the library has them for the pair the pick makes with
// the materials `line` names), the line settings after it (a solvent's LEL, the name, and the
// diffusion model's free-volume parameters, with the pair's xi, D0 and E), and a message for
// each value the library does not hold, which keeps the value in use.
struct KeptValues {
  std::string message;
  bool diffusionOnly = false;  // only the diffusion model's parameters keep their values
};
struct MaterialPick {
  std::vector<std::pair<std::string, std::string>> entries;  // entry name, text
  LineSettings line;
  std::vector<KeptValues> kept;
};

// What picking `key` for `slot` makes of `line`. The slot's overrides are dropped: a pick
// starts from the library's values. Throws as AssignmentOf, and LineSettingError for a
// library value a line setting refuses.
MaterialPick PickMaterial(const MaterialLibrary& library, MaterialSlot slot, std::string_view key,
                          const LineSettings& line);

// Sets what PickMaterial gives in `entries` (the disabled entries included) and `line`;
// returns the messages of the values kept. Throws as PickMaterial.
std::vector<std::string> ApplyMaterial(const MaterialLibrary& library, MaterialSlot slot, std::string_view key,
                                       MapEntryTexts& entries, LineSettings& line);

// The entries the material `line` names for the slot sets, as entry name and text: the
// library's values, each replaced by the line's override where it has one. Empty when the
// line names none. Throws as AssignmentOf.
std::vector<std::pair<std::string, std::string>> RecordedEntries(const MaterialLibrary& library,
                                                                 const LineSettings& line, MaterialSlot slot);

// Sets the entries of every material `line` names (a line file naming them), the disabled
// entries included; the line's own LELs and model settings stay. Throws as AssignmentOf.
void ApplyRecordedMaterials(const MaterialLibrary& library, MapEntryTexts& entries, const LineSettings& line);

// The key `line` records for the slot.
std::string& RecordedMaterial(LineSettings& line, MaterialSlot slot);
const std::string& RecordedMaterial(const LineSettings& line, MaterialSlot slot);

// Records in line.MaterialOverrides every entry of a named material whose text differs from
// the library's (numbers compared as numbers), in the order of the slots and their entries.
void RecordMaterialOverrides(const MaterialLibrary& library, const EntryTexts& entries, LineSettings& line);

// The material of the slot's kind whose values the slot's entries hold (numbers compared as
// numbers), or nullptr: the material a run with these entries was made for.
const Material* MaterialHeldBy(const MaterialLibrary& library, MaterialSlot slot, const EntryTexts& entries);

// The solvent whose Antoine constants are the entries' of `slot` (equal to 6 significant
// digits), or nullptr.
const Material* SolventWithConstants(const MaterialLibrary& library, MaterialSlot slot, const EntryTexts& entries);

// The warnings for `kept` whose entries still differ (as numbers, or as texts when either is
// not one) from the data file's: "Warning: the data file's Vapor Pressure Parameter A of
// Solvent-1 (7.0) differs from the one in use (6.38469); choose the solvent to use other
// constants." When the file's Antoine constants of a solvent are those of a library solvent,
// its warnings name it. `library` may be nullptr.
std::vector<std::string> KeptEntryWarnings(const std::vector<KeptEntry>& kept, const EntryTexts& entries,
                                           const MaterialLibrary* library);

}  // namespace tovimar
