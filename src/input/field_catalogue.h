#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/conditions.h"

namespace tovimar {

// Where a condition field is written in the condition section of the result file; the
// section writer gives each group its heading.
enum class FieldGroup { Polymer, Solvent1, Solvent2, BaseFilm, Fitting, Accuracy, Zone };

// The six columns of a zone, in reading and writing order.
inline constexpr int ZoneColumns = 6;

// One condition field: every fact about it lives here, and the window, the condition
// reader, the condition section and the data file take it from this one catalogue.
struct ConditionField {
  std::string entryName;   // window entry, e.g. "Edit1", "Edit21"
  std::string fieldName;   // record field, e.g. "CoatingWeight0", "ZoneAirTemp[2]"
  double DryingConditions::*scalar = nullptr;      // a scalar field, or
  ZoneArray DryingConditions::*zoneArray = nullptr;  // a zone array ...
  int zone = 0;                                      // ... at this zone (1 to 14)
  int column = 0;          // zone column 1 to 6; 0 for scalars
  FieldGroup group = FieldGroup::Zone;
  std::string caption;     // window row caption (UTF-8), e.g. "  Speed (m/s)"
  std::string label;       // condition-section label (UTF-8), e.g. "Speed (m/s)"
  int labelIndent = 4;     // spaces before the label in the condition section
  int equalsColumn = 56;   // byte column (from 1) of the "=" in the condition section
  int precision = 0;       // P of the number format
  int decimals = 0;        // D of the number format
  std::string defaultText; // the text a fresh window shows
  bool enabled = true;     // disabled entries can be neither typed into nor loaded
  int readOrder = 0;       // 1..42 for the general fields, in reading order; 0 for zones 2..14
  // What the field means to a user, for tooltips: a plain-language name, what the quantity
  // is and does, its unit, and the range in which the model is meant to be used. Zone
  // fields say "of zone k".
  std::string name;        // e.g. "Speed", "Outer Temperature of zone 3"
  std::string meaning;     // e.g. "the speed at which the film moves through the dryer"
  std::string unit;        // e.g. "m/s", "kJ/(m2 s K)", "-"
  std::string range;       // e.g. "0.05 to 10 m/s"

  // The record member this field feeds.
  [[nodiscard]] double& Value(DryingConditions& c) const;
  [[nodiscard]] double Value(const DryingConditions& c) const;
};

// The 120 numeric fields in the order of the condition section's value lines with all
// 14 zones, which is also the line order of a data file.
const std::vector<ConditionField>& ConditionFields();

// The 42 general fields (zone 1 included) in the order the condition reader reads them.
const std::vector<const ConditionField*>& GeneralFieldsInReadOrder();

// The field of a zone column (zone 1..14, column 1..6).
const ConditionField& ZoneField(int zone, int column);

// The field with this entry name ("Edit6") or record field name ("LineSpeed",
// "ZoneAirTemp[3]"); nullptr when there is none.
const ConditionField* FindField(std::string_view name);

// The field's name for a person: its condition-section label without the unit, and the
// zone for a zone's field ("Density of Polymer", "Outer Temperature of zone 2").
std::string FieldDisplayName(const ConditionField& field);

// The unit of the field's label ("g/cm3"); empty for a ratio.
std::string FieldUnit(const ConditionField& field);

// The entry of the zone column: "Edit" followed by 10 * zone + column for zones 2..14.
std::string ZoneEntryName(int zone, int column);

// The Save File Name entry, its record field and its default.
inline constexpr std::string_view SaveFileNameEntry = "Edit250";
inline constexpr std::string_view SaveFileNameField = "ResultFileName";
inline constexpr std::string_view SaveFileNameDefault = "result.txt";

// The tooltip of a field: "<name> (<unit>): <meaning>; default <text>; <range>" ("empty by
// default" for a field a fresh window leaves empty).
std::string FieldTooltip(const ConditionField& field);

// The tooltip of the Save File Name entry.
std::string SaveFileNameTooltip();

// Every entry name of the window (the 120 fields and the Save File Name).
std::vector<std::string> AllEntryNames();

}  // namespace tovimar
