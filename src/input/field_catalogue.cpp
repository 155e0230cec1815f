#include "input/field_catalogue.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string_view>

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

// What each field means to a user; scalars in the order of kScalarRows, then the zone
// columns, where "#" stands for the zone's number.
struct FieldHelp {
  const char* entry;  // the row it belongs to, checked when the catalogue is built
  const char* name;
  const char* unit;
  const char* meaning;
  const char* range;
};

constexpr const char* kWeightFraction = "weight fraction";
constexpr const char* kSpecificHeat = "kJ/(kg K)";
constexpr const char* kAntoine =
    "a constant of log10 Ps = A - B / (T + C), the solvent's saturated vapour pressure Ps in mmHg at T in deg C";

const std::array<FieldHelp, 36> kScalarHelp{{
    {"Edit211", "Specific heat of the polymer", kSpecificHeat,
     "the heat that warms 1 kg of dry polymer by 1 K", "0.5 to 3"},
    {"Edit212", "Density of the polymer", "g/cm3",
     "turns the polymer's weight into its volume for the volume fractions of the coating",
     "0.8 to 2.5"},
    {"Edit213", "Molecular weight of the polymer", "g/mol",
     "turns the polymer's weight into moles for the mole fractions of the coating", "1000 and above"},
    {"Edit221", "Specific heat of solvent-1", kSpecificHeat,
     "the heat that warms 1 kg of liquid solvent-1 by 1 K", "1 to 4.5"},
    {"Edit222", "Heat of vaporization of solvent-1", "kJ/kg",
     "the heat each kg of solvent-1 that evaporates takes from the web", "200 to 2300"},
    {"Edit223", "Diffusion coefficient of solvent-1 in air", "m2/s",
     "sets the mass-transfer coefficient of solvent-1 through the Schmidt number", "0.000005 to 0.00003"},
    {"Edit224", "Antoine constant A of solvent-1", "log10 mmHg", kAntoine,
     "within the temperatures the constants were fitted for"},
    {"Edit225", "Antoine constant B of solvent-1", "deg C", kAntoine,
     "within the temperatures the constants were fitted for"},
    {"Edit226", "Antoine constant C of solvent-1", "deg C", kAntoine,
     "within the temperatures the constants were fitted for"},
    {"Edit227", "Density of solvent-1", "g/cm3",
     "turns solvent-1's weight into its volume for the volume fractions of the coating", "0.6 to 1.6"},
    {"Edit228", "Molecular weight of solvent-1", "g/mol",
     "turns solvent-1's weight into moles for the mole fractions of the coating", "30 to 200"},
    {"Edit231", "Specific heat of solvent-2", kSpecificHeat,
     "the heat that warms 1 kg of liquid solvent-2 by 1 K", "1 to 4.5"},
    {"Edit232", "Heat of vaporization of solvent-2", "kJ/kg",
     "the heat each kg of solvent-2 that evaporates takes from the web", "200 to 2300"},
    {"Edit233", "Diffusion coefficient of solvent-2 in air", "m2/s",
     "sets the mass-transfer coefficient of solvent-2 through the Schmidt number", "0.000005 to 0.00003"},
    {"Edit234", "Antoine constant A of solvent-2", "log10 mmHg", kAntoine,
     "within the temperatures the constants were fitted for"},
    {"Edit235", "Antoine constant B of solvent-2", "deg C", kAntoine,
     "within the temperatures the constants were fitted for"},
    {"Edit236", "Antoine constant C of solvent-2", "deg C", kAntoine,
     "within the temperatures the constants were fitted for"},
    {"Edit237", "Density of solvent-2", "g/cm3",
     "turns solvent-2's weight into its volume for the volume fractions of the coating", "0.6 to 1.6"},
    {"Edit238", "Molecular weight of solvent-2", "g/mol",
     "turns solvent-2's weight into moles for the mole fractions of the coating", "30 to 200"},
    {"Edit241", "Specific heat of the base film", kSpecificHeat,
     "the heat that warms 1 kg of base film by 1 K", "0.5 to 3"},
    {"Edit201", "Drying Speed Correction Factor Wi", kWeightFraction,
     "the total solvent weight fraction at and above which the coating dries at full speed (the "
     "correction is 1)", "Wx to 1"},
    {"Edit202", "Drying Speed Correction Factor We", kWeightFraction,
     "the total solvent weight fraction below which the coating no longer dries (the correction is 0)",
     "0 to Wx"},
    {"Edit203", "Drying Speed Correction Factor Wx", kWeightFraction,
     "the total solvent weight fraction at which the correction line bends: from 1 at Wi it falls to "
     "Wy at Wx, then to 0 at We", "We to Wi"},
    {"Edit204", "Drying Speed Correction Factor Wy", "-",
     "the drying-speed correction at the total solvent weight fraction Wx", "0 to 1"},
    {"Edit205", "Dryer Efficiency Parameter Keff", "-",
     "multiplies the upper heat-transfer coefficient before the mass-transfer coefficient is formed "
     "from it", "0.1 to 10, near 1 for a dryer that behaves as the analogy predicts"},
    {"Edit206", "Interaction parameter chi of solvent-1 and the polymer", "-",
     "Flory-Huggins-type interaction in the solvents' activities; larger is a poorer solvent",
     "-1 to 2.5"},
    {"Edit207", "Interaction parameter chi of solvent-2 and the polymer", "-",
     "Flory-Huggins-type interaction in the solvents' activities; larger is a poorer solvent",
     "-1 to 2.5"},
    {"Edit208", "Interaction parameter chi of solvent-1 and solvent-2", "-",
     "Flory-Huggins-type interaction between the two solvents in their activities", "-1 to 2.5"},
    {"Edit20", "Increment of z", "m",
     "the length the film moves in one integration step; the time step is this over the Speed",
     "small enough for a stable march, and at most 1999 steps per zone"},
    {"Edit1", "Initial coating weight", "kg/m2",
     "the wet coating (polymer and both solvents) per square metre of film at the entrance of zone 1",
     "0.001 to 1"},
    {"Edit2", "Base film weight", "kg/m2",
     "the base film per square metre; it is heated with the coating", "0.001 to 1"},
    {"Edit3", "Initial solid weight ratio", kWeightFraction,
     "the polymer's share of the wet coating's weight; with both solvent ratios it makes 1", "0 to 1"},
    {"Edit4", "Initial solvent-1 weight ratio", kWeightFraction,
     "solvent-1's share of the wet coating's weight", "0 to 1"},
    {"Edit5", "Initial solvent-2 weight ratio", kWeightFraction,
     "solvent-2's share of the wet coating's weight", "0 to 1"},
    {"Edit6", "Speed", "m/s", "the speed at which the film moves through the dryer", "0.01 to 20"},
    {"Edit7", "Initial temperature", "deg C", "the temperature of the web at the entrance of zone 1",
     "-20 to below the solvents' boiling points"},
}};

const std::array<FieldHelp, ZoneColumns> kZoneHelp{{
    {"", "Outer Temperature of zone #", "deg C",
     "the temperature of the drying air in zone #; from zone 2 on, an empty or 0 Outer Temperature "
     "ends the line before the zone", "-20 to 300"},
    {"", "Zone length of zone #", "m", "the length of zone # along the line",
     "0 to 1999 times the Increment of z"},
    {"", "Solvent-1 absolute humidity of zone #", "kg solvent-1 per kg air",
     "the solvent-1 vapour the air of zone # already holds",
     "0 (fresh air) to below the coating's surface value, above which solvent-1 condenses"},
    {"", "Solvent-2 absolute humidity of zone #", "kg solvent-2 per kg air",
     "the solvent-2 vapour the air of zone # already holds",
     "0 (fresh air) to below the coating's surface value, above which solvent-2 condenses"},
    {"", "Upper heat-transfer coefficient of zone #", "kJ/(m2 s K)",
     "heat transfer from the air to the coated side in zone #; times Keff it also sets the mass "
     "transfer", "0.001 to 0.5"},
    {"", "Lower heat-transfer coefficient of zone #", "kJ/(m2 s K)",
     "heat transfer from the air to the base-film side in zone #", "0 to 0.5"},
}};

// The text with every "#" replaced by the zone's number.
std::string ForZone(const char* text, int zone) {
  std::string out;
  for (const char* c = text; *c != '\0'; ++c) {
    out += *c == '#' ? std::to_string(zone) : std::string(1, *c);
  }
  return out;
}

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
  for (std::size_t i = 0; i < kScalarRows.size(); ++i) {
    const ScalarRow& row = kScalarRows[i];
    const FieldHelp& help = kScalarHelp[i];
    if (std::string_view(help.entry) != row.entry) {
      throw std::logic_error(std::string("field help out of step at ") + row.entry);
    }
    ConditionField f;
    f.name = help.name;
    f.meaning = help.meaning;
    f.unit = help.unit;
    f.range = help.range;
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
      const FieldHelp& help = kZoneHelp[static_cast<std::size_t>(column - 1)];
      f.name = ForZone(help.name, zone);
      f.meaning = ForZone(help.meaning, zone);
      f.unit = help.unit;
      f.range = help.range;
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

std::string FieldTooltip(const ConditionField& field) {
  return field.name + " (" + field.unit + "): " + field.meaning + "; " +
         (field.defaultText.empty() ? std::string("empty by default") : "default " + field.defaultText) +
         "; " + field.range;
}

std::string SaveFileNameTooltip() {
  return "Save File Name: the result file a run writes, in the directory shown below; default " +
         std::string(SaveFileNameDefault);
}

std::vector<std::string> AllEntryNames() {
  std::vector<std::string> names;
  for (const ConditionField& f : ConditionFields()) {
    names.push_back(f.entryName);
  }
  names.emplace_back(SaveFileNameEntry);
  return names;
}

}  // namespace tovimar
