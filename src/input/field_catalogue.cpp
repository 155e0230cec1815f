#include "input/field_catalogue.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace tovimar {

double& ConditionField::Value(DryingConditions& c) const {
  return scalar != nullptr ? c.*scalar : (c.*zoneArray)[static_cast<std::size_t>(zone)];
}

double ConditionField::Value(const DryingConditions& c) const {
  return scalar != nullptr ? c.*scalar : (c.*zoneArray)[static_cast<std::size_t>(zone)];
}

namespace {

using DC = DryingConditions;

// A scalar field as it stands in the condition section. An empty caption means the label
// with two spaces in front.
struct ScalarRow {
  const char* entry;
  const char* name;
  double DC::*member;
  FieldGroup group;
  const char* label;
  int precision;
  int decimals;
  const char* defaultText;
  const char* caption = "";
  bool enabled = true;
};

struct ZoneColumn {
  const char* name;
  ZoneArray DC::*member;
  const char* label;
  int precision;
  int decimals;
  const char* defaultText;  // zones 1 and 2; zones 3 to 14 start empty
};

constexpr std::array<ZoneColumn, ZoneColumns> kZoneColumns{{
    {"ZoneAirTemp", &DC::ZoneAirTemp, "Outer Temperature (\u2103)", 6, 2, "60.0"},
    {"ZoneLength", &DC::ZoneLength, "Zone Length (m)", 6, 2, "30.0"},
    {"ZoneHumidity1", &DC::ZoneHumidity1, "Solvent-1 Absolute Humidity", 8, 6, "0.0"},
    {"ZoneHumidity2", &DC::ZoneHumidity2, "Solvent-2 Absolute Humidity", 8, 6, "0.0"},
    {"ZoneHeatCoefUpper", &DC::ZoneHeatCoefUpper, "Heat Trans. Coeff. - Upper (kJ/m2.s.K)", 7, 5,
     "0.022"},
    {"ZoneHeatCoefLower", &DC::ZoneHeatCoefLower, "Heat Trans. Coeff. - Lower (kJ/m2.s.K)", 7, 5,
     "0.055"},
}};

using G = FieldGroup;

// The scalar fields in condition-section order (zone 1's columns follow them).
const std::array<ScalarRow, 36> kScalarRows{{
    {"Edit211", "PolymerCp", &DC::PolymerCp, G::Polymer, "Specific Heat of Polymer (kJ/kg.K)", 4, 3,
     "1.47", "  Specific Heat (kJ/kg.K)"},
    {"Edit212", "PolymerDensity", &DC::PolymerDensity, G::Polymer, "Density of Polymer (g/cm3)", 5,
     3, "1.4", "  Density (g/cm3)"},
    {"Edit213", "PolymerMolWeight", &DC::PolymerMolWeight, G::Polymer,
     "Molecular Weight of Polymer", 8, 1, "30000.0", "  Molecular Weight"},

    {"Edit221", "Solvent1Cp", &DC::Solvent1Cp, G::Solvent1, "Specific Heat of Solvent-1 (kJ/kg.K)",
     4, 3, "2.30"},
    {"Edit222", "HeatOfVaporization1", &DC::HeatOfVaporization1, G::Solvent1,
     "Heat of Vaporization of Solvent-1 (kJ/kg)", 7, 2, "460.0", "", false},
    {"Edit223", "AirDiffusivity1", &DC::AirDiffusivity1, G::Solvent1,
     "Diffusion Coefficient of Solvent-1 in Air (m2/s)", 11, 9, "0.00000903"},
    {"Edit224", "AntoineA1", &DC::AntoineA1, G::Solvent1, "Vapor Pressure Parameter A of Solvent-1",
     9, 6, "6.38469", "", false},
    {"Edit225", "AntoineB1", &DC::AntoineB1, G::Solvent1, "Vapor Pressure Parameter B of Solvent-1",
     8, 3, "916.01", "", false},
    {"Edit226", "AntoineC1", &DC::AntoineC1, G::Solvent1, "Vapor Pressure Parameter C of Solvent-1",
     8, 3, "181.84", "", false},
    {"Edit227", "Solvent1Density", &DC::Solvent1Density, G::Solvent1,
     "Density of Solvent-1 (g/cm3)", 5, 3, "0.806", "  Density (g/cm3)"},
    {"Edit228", "Solvent1MolWeight", &DC::Solvent1MolWeight, G::Solvent1,
     "Molecular Weight of Solvent-1", 6, 2, "72.1", "  Molecular Weight"},

    {"Edit231", "Solvent2Cp", &DC::Solvent2Cp, G::Solvent2, "Specific Heat of Solvent-2 (kJ/kg.K)",
     4, 3, "1.80"},
    {"Edit232", "HeatOfVaporization2", &DC::HeatOfVaporization2, G::Solvent2,
     "Heat of Vaporization of Solvent-2 (kJ/kg)", 7, 2, "398.0", "", false},
    {"Edit233", "AirDiffusivity2", &DC::AirDiffusivity2, G::Solvent2,
     "Diffusion Coefficient of Solvent-2 in Air (m2/s)", 11, 9, "0.00000849"},
    {"Edit234", "AntoineA2", &DC::AntoineA2, G::Solvent2, "Vapor Pressure Parameter A of Solvent-2",
     9, 6, "6.95464", "", false},
    {"Edit235", "AntoineB2", &DC::AntoineB2, G::Solvent2, "Vapor Pressure Parameter B of Solvent-2",
     8, 3, "1344.8", "", false},
    {"Edit236", "AntoineC2", &DC::AntoineC2, G::Solvent2, "Vapor Pressure Parameter C of Solvent-2",
     8, 3, "219.482", "", false},
    {"Edit237", "Solvent2Density", &DC::Solvent2Density, G::Solvent2,
     "Density of Solvent-2 (g/cm3)", 5, 3, "0.866", "  Density (g/cm3)"},
    {"Edit238", "Solvent2MolWeight", &DC::Solvent2MolWeight, G::Solvent2,
     "Molecular Weight of Solvent-2", 6, 2, "92.1", "  Molecular Weight"},

    {"Edit241", "BaseFilmCp", &DC::BaseFilmCp, G::BaseFilm, "Specific Heat of Base Film (kJ/kg.K)",
     4, 3, "1.26"},

    {"Edit201", "Wi", &DC::Wi, G::Fitting, "Drying Speed Correction Factor Wi", 4, 2, "0.3"},
    {"Edit202", "We", &DC::We, G::Fitting, "Drying Speed Correction Factor We", 4, 2, "0.1"},
    {"Edit203", "Wx", &DC::Wx, G::Fitting, "Drying Speed Correction Factor Wx", 4, 2, "0.2"},
    {"Edit204", "Wy", &DC::Wy, G::Fitting, "Drying Speed Correction Factor Wy", 4, 2, "0.5"},
    {"Edit205", "Keff", &DC::Keff, G::Fitting, "Dryer Efficiency Parameter Keff", 4, 2, "1.5"},
    {"Edit206", "Chi1p", &DC::Chi1p, G::Fitting, "Interaction Parameter \u03C71p", 5, 3, "0.01"},
    {"Edit207", "Chi2p", &DC::Chi2p, G::Fitting, "Interaction Parameter \u03C72p", 5, 3, "0.5"},
    {"Edit208", "Chi12", &DC::Chi12, G::Fitting, "Interaction Parameter \u03C712", 5, 3, "0.5"},

    {"Edit20", "StepLength", &DC::StepLength, G::Accuracy, "Increment of z (m)", 7, 5, "0.1"},

    {"Edit1", "CoatingWeight0", &DC::CoatingWeight0, G::Zone, "Initial  Coating Weight (kg/m2)", 8,
     6, "0.0695", "  Initial Coating Weight (kg/m2)"},
    {"Edit2", "BaseFilmWeight", &DC::BaseFilmWeight, G::Zone, "Base Film Weight (kg/m2)", 8, 6,
     "0.0685"},
    {"Edit3", "SolidRatio0", &DC::SolidRatio0, G::Zone, "Initial Solid Weight Ratio", 5, 3, "0.18"},
    {"Edit4", "Solvent1Ratio0", &DC::Solvent1Ratio0, G::Zone, "Initial Solvent-1 Weight Ratio", 5,
     3, "0.60", "  Initial Solvent-1 Weight Ratio "},
    {"Edit5", "Solvent2Ratio0", &DC::Solvent2Ratio0, G::Zone, "Initial Solvent-2 Weight Ratio", 5,
     3, "0.22"},
    {"Edit6", "LineSpeed", &DC::LineSpeed, G::Zone, "Speed (m/s)", 7, 3, "1.0"},
    {"Edit7", "InitialTemp", &DC::InitialTemp, G::Zone, "Initial Temperature (\u2103)", 6, 2,
     "15.0"},
}};

// The general fields in reading order, by entry name: the web and zone 1, the fitting
// parameters, the properties, and last the Increment of z.
constexpr std::array<const char*, 42> kReadOrder{
    "Edit1",   "Edit2",   "Edit3",   "Edit4",   "Edit5",   "Edit6",   "Edit7",
    "Edit8",   "Edit9",   "Edit10",  "Edit11",  "Edit12",  "Edit13",  "Edit201",
    "Edit202", "Edit203", "Edit204", "Edit205", "Edit206", "Edit207", "Edit208",
    "Edit211", "Edit212", "Edit213", "Edit221", "Edit222", "Edit223", "Edit224",
    "Edit225", "Edit226", "Edit227", "Edit228", "Edit231", "Edit232", "Edit233",
    "Edit234", "Edit235", "Edit236", "Edit237", "Edit238", "Edit241", "Edit20"};

// Zone 1's columns are the entries Edit8 to Edit13; zones 2..14 follow the 10 * k + c rule.
std::string EntryOfZoneColumn(int zone, int column) {
  return "Edit" + std::to_string(zone == 1 ? 7 + column : 10 * zone + column);
}

std::vector<ConditionField> BuildCatalogue() {
  std::vector<ConditionField> fields;
  fields.reserve(42 + 6 * (MaxZones - 1));
  for (const ScalarRow& row : kScalarRows) {
    ConditionField f;
    f.entryName = row.entry;
    f.fieldName = row.name;
    f.scalar = row.member;
    f.group = row.group;
    f.label = row.label;
    f.caption = row.caption[0] != '\0' ? std::string(row.caption) : "  " + f.label;
    f.labelIndent = row.group == G::Accuracy || row.group == G::Zone ? 5 : 4;
    f.equalsColumn = row.group == G::Polymer ? 55 : 56;
    f.precision = row.precision;
    f.decimals = row.decimals;
    f.defaultText = row.defaultText;
    f.enabled = row.enabled;
    fields.push_back(std::move(f));
  }
  for (int zone = 1; zone <= MaxZones; ++zone) {
    for (int column = 1; column <= ZoneColumns; ++column) {
      const ZoneColumn& col = kZoneColumns[static_cast<std::size_t>(column - 1)];
      ConditionField f;
      f.entryName = EntryOfZoneColumn(zone, column);
      f.fieldName = std::string(col.name) + "[" + std::to_string(zone) + "]";
      f.zoneArray = col.member;
      f.zone = zone;
      f.column = column;
      f.group = G::Zone;
      f.label = col.label;
      f.caption = "  " + f.label;
      f.labelIndent = 5;
      f.equalsColumn = 56;
      f.precision = col.precision;
      f.decimals = col.decimals;
      f.defaultText = zone <= 2 ? col.defaultText : "";
      fields.push_back(std::move(f));
    }
  }
  for (std::size_t i = 0; i < kReadOrder.size(); ++i) {
    auto it = std::find_if(fields.begin(), fields.end(),
                           [&](const ConditionField& f) { return f.entryName == kReadOrder[i]; });
    it->readOrder = static_cast<int>(i) + 1;
  }
  return fields;
}

}  // namespace

const std::vector<ConditionField>& ConditionFields() {
  static const std::vector<ConditionField> fields = BuildCatalogue();
  return fields;
}

const std::vector<const ConditionField*>& GeneralFieldsInReadOrder() {
  static const std::vector<const ConditionField*> order = [] {
    std::vector<const ConditionField*> general;
    for (const ConditionField& f : ConditionFields()) {
      if (f.readOrder > 0) {
        general.push_back(&f);
      }
    }
    std::sort(general.begin(), general.end(),
              [](const ConditionField* a, const ConditionField* b) { return a->readOrder < b->readOrder; });
    return general;
  }();
  return order;
}

const ConditionField& ZoneField(int zone, int column) {
  if (zone < 1 || zone > MaxZones || column < 1 || column > ZoneColumns) {
    throw std::out_of_range("no zone field for zone " + std::to_string(zone) + ", column " +
                            std::to_string(column));
  }
  // Zone fields follow the 36 scalars, six per zone.
  return ConditionFields()[kScalarRows.size() + static_cast<std::size_t>((zone - 1) * ZoneColumns + column - 1)];
}

const ConditionField* FindField(std::string_view name) {
  for (const ConditionField& f : ConditionFields()) {
    if (f.entryName == name || f.fieldName == name) {
      return &f;
    }
  }
  return nullptr;
}

std::string ZoneEntryName(int zone, int column) { return ZoneField(zone, column).entryName; }

std::vector<std::string> AllEntryNames() {
  std::vector<std::string> names;
  for (const ConditionField& f : ConditionFields()) {
    names.push_back(f.entryName);
  }
  names.emplace_back(SaveFileNameEntry);
  return names;
}

}  // namespace tovimar
