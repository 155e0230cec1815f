// The catalogue of line settings, and setting them by value or by "NAME=TEXT".
#include "input/line_catalogue.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <span>

#include "input/number_parse.h"
#include "model/diffusion_kernel.h"

namespace tovimar {

namespace {

constexpr double Unbounded = std::numeric_limits<double>::infinity();

// One row of the catalogue as written below; a per-zone row becomes one entry per zone.
struct Definition {
  const char* object;
  const char* key;
  bool perZone;
  const char* caption;  // of a per-zone setting, without " of zone k"
  const char* unit;
  const char* meaning;
  LineSettingType type;
  double lower;
  bool lowerIncluded;
  double upper;
  bool optional;
  bool writtenAtDefault;
  LineSettingAccess access;
  std::span<const std::string_view> choices{};  // of a text that takes only these
};

constexpr auto Number = LineSettingType::Number;
constexpr auto Text = LineSettingType::Text;
constexpr bool Per = true;      // per zone
constexpr bool Line = false;    // of the whole line
constexpr bool Above = false;   // the lower bound itself is refused
constexpr bool AtLeast = true;  // the lower bound itself is taken
constexpr bool Optional = true;
constexpr bool Required = false;
constexpr bool Always = true;      // written at its default too
constexpr bool WhenChanged = false;  // written only when it differs from its default

// The drying models a line's runs may take.
constexpr std::string_view ModelNames[] = {LumpedModelName, DiffusionModelName};

// The access to a parameter of the diffusion model, kept in the line settings' model.
template <auto Member>
constexpr LineSettingAccess DiffusionAccess() {
  return MemberAccess<&LineSettings::Model, &ModelChoice::diffusion, Member>();
}

// The LELs and the limits divide, so they must be above zero; the rest may be zero.
// To add a setting: its member (with its default) in LineSettings, and one row here, in the
// place it takes in the line file. A text is a std::string member with type Text; a key of a
// nested object ("Model": {...}) names its object and reaches its member through the nested
// record: MemberAccess<&LineSettings::Model, &ModelSettings::Cells>().
constexpr Definition Definitions[] = {
    {"", "WebWidth", Line, "Coated web width", "m",
     "the coated width of the web, which turns the evaporation per area into an hourly solvent load",
     Number, 0, AtLeast, Unbounded, Required, Always, MemberAccess<&LineSettings::WebWidth>()},
    {"", "ZoneExhaustFlow", Per, "Exhaust flow", "m3/h at 0 \u2103 and 101.325 kPa",
     "the exhaust air flow of the zone. Empty: no exhaust flow given; the zone's concentration is "
     "not judged. 0: the zone has no exhaust air, so any solvent it evaporates is above every limit",
     Number, 0, AtLeast, Unbounded, Optional, Always, MemberAccess<&LineSettings::ZoneExhaustFlow>()},
    {"", "LEL1", Line, "Lower explosive limit of solvent-1", "vol %",
     "the lowest concentration of solvent-1's vapour in air that can burn", Number, 0, Above,
     Unbounded, Required, Always, MemberAccess<&LineSettings::LEL1>()},
    {"", "LEL2", Line, "Lower explosive limit of solvent-2", "vol %",
     "the lowest concentration of solvent-2's vapour in air that can burn", Number, 0, Above,
     Unbounded, Required, Always, MemberAccess<&LineSettings::LEL2>()},
    {"", "LELLimit", Line, "Exhaust concentration limit", "% of LEL",
     "the highest allowed solvent concentration of a zone's exhaust, in % of the mixture's lower "
     "explosive limit",
     Number, 0, Above, Unbounded, Required, Always, MemberAccess<&LineSettings::LELLimit>()},
    {"", "ZoneLELLimit", Per, "Exhaust concentration limit", "% of LEL",
     "the zone's own concentration limit, for example 50 where the zone's solvent is monitored "
     "continuously. Empty: the zone has the common limit",
     Number, 0, Above, Unbounded, Optional, Always, MemberAccess<&LineSettings::ZoneLELLimit>()},
    {"", "ResidualTarget", Line, "Residual solvent target", "g/m2",
     "the residual solvent (both solvents) the line should reach at its end. Empty: no target",
     Number, 0, AtLeast, Unbounded, Optional, WhenChanged, MemberAccess<&LineSettings::ResidualTarget>()},
    {"", "BoilingMarginMin", Line, "Least margin below boiling", "K",
     "the least distance of the web temperature below the coating's bubble temperature", Number, 0,
     AtLeast, Unbounded, Required, Always, MemberAccess<&LineSettings::BoilingMarginMin>()},
    {"", "Solvent1", Line, "Material of solvent-1", "",
     "the key of the materials library's solvent whose values solvent-1's entries hold. Empty: values as entered",
     Text, 0, AtLeast, Unbounded, Optional, WhenChanged, MemberAccess<&LineSettings::Solvent1>()},
    {"", "Solvent2", Line, "Material of solvent-2", "",
     "the key of the materials library's solvent whose values solvent-2's entries hold. Empty: values as entered",
     Text, 0, AtLeast, Unbounded, Optional, WhenChanged, MemberAccess<&LineSettings::Solvent2>()},
    {"", "Polymer", Line, "Material of the polymer", "",
     "the key of the materials library's polymer whose values the polymer's entries hold. Empty: values as entered",
     Text, 0, AtLeast, Unbounded, Optional, WhenChanged, MemberAccess<&LineSettings::Polymer>()},
    // The drying model and its parameters, in the line file's "Model" object. The diffusion
    // parameters are the free-volume theory's, per solvent (1, 2) and for the polymer.
    {"Model", "Model", Line, "Drying model", "",
     "lumped: the coating is well mixed and its drying slows by the drying-speed correction; "
     "diffusion: the solvents diffuse through the coating's depth",
     Text, 0, AtLeast, Unbounded, Required, WhenChanged, MemberAccess<&LineSettings::Model, &ModelChoice::name>(),
     ModelNames},
    {"Model", "DiffusionCells", Line, "Cells through the coating", "",
     "the cells the diffusion model divides the coating's depth into", Number, MinDiffusionCells, AtLeast,
     MaxDiffusionCells, Required, WhenChanged, DiffusionAccess<&DiffusionModelParameters::DiffusionCells>()},
    {"Model", "D0_1", Line, "Pre-exponential factor of solvent-1's self-diffusion", "cm2/s",
     "D0 of solvent-1's self-diffusion coefficient", Number, 1e-12, AtLeast, 10, Required, WhenChanged,
     DiffusionAccess<&DiffusionModelParameters::D0_1>()},
    {"Model", "D0_2", Line, "Pre-exponential factor of solvent-2's self-diffusion", "cm2/s",
     "D0 of solvent-2's self-diffusion coefficient", Number, 1e-12, AtLeast, 10, Required, WhenChanged,
     DiffusionAccess<&DiffusionModelParameters::D0_2>()},
    {"Model", "ActivationEnergy1", Line, "Activation energy of solvent-1's diffusion", "J/mol",
     "the energy a jump of solvent-1 needs besides a hole", Number, 0, AtLeast, 2e5, Required, WhenChanged,
     DiffusionAccess<&DiffusionModelParameters::ActivationEnergy1>()},
    {"Model", "ActivationEnergy2", Line, "Activation energy of solvent-2's diffusion", "J/mol",
     "the energy a jump of solvent-2 needs besides a hole", Number, 0, AtLeast, 2e5, Required, WhenChanged,
     DiffusionAccess<&DiffusionModelParameters::ActivationEnergy2>()},
    {"Model", "HoleVolume1", Line, "Hole free volume solvent-1 needs for a jump (V*)", "cm3/g",
     "the specific hole free volume a molecule of solvent-1 needs to jump", Number, 0.01, AtLeast, 5, Required,
     WhenChanged, DiffusionAccess<&DiffusionModelParameters::HoleVolume1>()},
    {"Model", "HoleVolume2", Line, "Hole free volume solvent-2 needs for a jump (V*)", "cm3/g",
     "the specific hole free volume a molecule of solvent-2 needs to jump", Number, 0.01, AtLeast, 5, Required,
     WhenChanged, DiffusionAccess<&DiffusionModelParameters::HoleVolume2>()},
    {"Model", "K1Gamma1", Line, "Free-volume parameter K1/gamma of solvent-1", "cm3/(g K)",
     "how fast solvent-1's free volume grows with temperature, over the overlap factor", Number, 1e-6, AtLeast, 1,
     Required, WhenChanged, DiffusionAccess<&DiffusionModelParameters::K1Gamma1>()},
    {"Model", "K1Gamma2", Line, "Free-volume parameter K1/gamma of solvent-2", "cm3/(g K)",
     "how fast solvent-2's free volume grows with temperature, over the overlap factor", Number, 1e-6, AtLeast, 1,
     Required, WhenChanged, DiffusionAccess<&DiffusionModelParameters::K1Gamma2>()},
    {"Model", "K2MinusTg1", Line, "Free-volume parameter K2 - Tg of solvent-1", "K",
     "the temperature offset of solvent-1's free volume", Number, -1000, AtLeast, 1000, Required, WhenChanged,
     DiffusionAccess<&DiffusionModelParameters::K2MinusTg1>()},
    {"Model", "K2MinusTg2", Line, "Free-volume parameter K2 - Tg of solvent-2", "K",
     "the temperature offset of solvent-2's free volume", Number, -1000, AtLeast, 1000, Required, WhenChanged,
     DiffusionAccess<&DiffusionModelParameters::K2MinusTg2>()},
    {"Model", "Xi1", Line, "Solvent-1's jumping unit over the polymer's (xi)", "",
     "the molar volume of solvent-1's jumping unit over the polymer's", Number, 0.01, AtLeast, 10, Required,
     WhenChanged, DiffusionAccess<&DiffusionModelParameters::Xi1>()},
    {"Model", "Xi2", Line, "Solvent-2's jumping unit over the polymer's (xi)", "",
     "the molar volume of solvent-2's jumping unit over the polymer's", Number, 0.01, AtLeast, 10, Required,
     WhenChanged, DiffusionAccess<&DiffusionModelParameters::Xi2>()},
    {"Model", "HoleVolumePolymer", Line, "Hole free volume the polymer needs for a jump (V*)", "cm3/g",
     "the specific hole free volume a jumping unit of the polymer needs", Number, 0.01, AtLeast, 5, Required,
     WhenChanged, DiffusionAccess<&DiffusionModelParameters::HoleVolumePolymer>()},
    {"Model", "K1GammaPolymer", Line, "Free-volume parameter K1/gamma of the polymer", "cm3/(g K)",
     "how fast the polymer's free volume grows with temperature, over the overlap factor", Number, 1e-6, AtLeast,
     1, Required, WhenChanged, DiffusionAccess<&DiffusionModelParameters::K1GammaPolymer>()},
    {"Model", "K2MinusTgPolymer", Line, "Free-volume parameter K2 - Tg of the polymer", "K",
     "the temperature offset of the polymer's free volume", Number, -1000, AtLeast, 1000, Required, WhenChanged,
     DiffusionAccess<&DiffusionModelParameters::K2MinusTgPolymer>()},
    {"Model", "ZoneMassTransferCoef1", Per, "Mass-transfer coefficient of solvent-1", "m/s",
     "the gas-side mass-transfer coefficient of solvent-1 in the zone. 0: the zone's upper heat-transfer "
     "coefficient times Keff",
     Number, 0, AtLeast, 10, Required, WhenChanged, DiffusionAccess<&DiffusionModelParameters::ZoneMassTransferCoef1>()},
    {"Model", "ZoneMassTransferCoef2", Per, "Mass-transfer coefficient of solvent-2", "m/s",
     "the gas-side mass-transfer coefficient of solvent-2 in the zone. 0: the zone's upper heat-transfer "
     "coefficient times Keff",
     Number, 0, AtLeast, 10, Required, WhenChanged, DiffusionAccess<&DiffusionModelParameters::ZoneMassTransferCoef2>()},
};

LineSetting EntryOf(const Definition& d, int zone) {
  LineSetting s;
  s.name = zone == 0 ? d.key : std::string(d.key) + "[" + std::to_string(zone) + "]";
  s.object = d.object;
  s.key = d.key;
  s.zone = zone;
  s.caption = zone == 0 ? d.caption : std::string(d.caption) + " of zone " + std::to_string(zone);
  s.unit = d.unit;
  s.meaning = d.meaning;
  s.type = d.type;
  s.lower = d.lower;
  s.lowerIncluded = d.lowerIncluded;
  s.upper = d.upper;
  s.optional = d.optional;
  s.writtenAtDefault = d.writtenAtDefault;
  s.access = d.access;
  s.choices.assign(d.choices.begin(), d.choices.end());
  return s;
}

std::string Shortest(double value) {
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return std::string(buffer, end);
}

[[noreturn]] void Refuse(const LineSetting& setting, const std::string& what) {
  throw LineSettingError("\"" + setting.name + "\" " + what);
}

void CheckNumber(const LineSetting& setting, double value) {
  if (!std::isfinite(value)) Refuse(setting, "must be a finite number.");
  if (value < setting.lower) {
    if (setting.lower == 0) Refuse(setting, "must not be negative.");
    Refuse(setting, (setting.lowerIncluded ? "must be at least " : "must be greater than ") +
                        Shortest(setting.lower) + ".");
  }
  if (value == setting.lower && !setting.lowerIncluded) {
    Refuse(setting, "must be greater than " + (setting.lower == 0 ? std::string("zero") : Shortest(setting.lower)) + ".");
  }
  if (value > setting.upper) Refuse(setting, "must be at most " + Shortest(setting.upper) + ".");
  if (setting.access.whole && value != std::floor(value)) Refuse(setting, "must be a whole number.");
}

// The choices as a message lists them: "\"lumped\" or \"diffusion\"".
std::string ChoicesText(const LineSetting& setting) {
  std::string text;
  for (std::size_t i = 0; i < setting.choices.size(); ++i) {
    if (i > 0) text += i + 1 == setting.choices.size() ? " or " : ", ";
    text += "\"" + setting.choices[i] + "\"";
  }
  return text;
}

}  // namespace

bool LineSetting::IsSet(const LineSettings& s) const {
  return type == LineSettingType::Text ? !Text(s).empty() : Number(s).has_value();
}

bool LineSetting::Same(const LineSettings& a, const LineSettings& b) const {
  return type == LineSettingType::Text ? Text(a) == Text(b) : Number(a) == Number(b);
}

const std::vector<LineSetting>& LineSettingCatalogue() {
  static const std::vector<LineSetting> catalogue = [] {
    std::vector<LineSetting> v;
    for (const Definition& d : Definitions) {
      if (!d.perZone) {
        v.push_back(EntryOf(d, 0));
        continue;
      }
      for (int zone = 1; zone <= MaxZones; ++zone) v.push_back(EntryOf(d, zone));
    }
    return v;
  }();
  return catalogue;
}

const LineSetting* FindLineSetting(std::string_view name) {
  for (const LineSetting& setting : LineSettingCatalogue()) {
    if (setting.name == name) return &setting;
  }
  return nullptr;
}

const LineSetting* FindLineSetting(std::string_view object, std::string_view key, int zone) {
  for (const LineSetting& setting : LineSettingCatalogue()) {
    if (setting.object == object && setting.key == key && setting.zone == zone) return &setting;
  }
  return nullptr;
}

std::string RangeText(const LineSetting& setting) {
  if (setting.type == LineSettingType::Text) return {};
  const std::string lower = Shortest(setting.lower);
  if (std::isinf(setting.upper)) return setting.lowerIncluded ? lower + " or more" : "above " + lower;
  const std::string upper = Shortest(setting.upper);
  return setting.lowerIncluded ? lower + " to " + upper : "above " + lower + ", at most " + upper;
}

std::string NameWithUnit(const LineSetting& setting) {
  return setting.unit.empty() ? setting.name : setting.name + " (" + setting.unit + ")";
}

std::vector<std::pair<std::string, std::string>> ModelParameterRows(const ModelChoice& choice) {
  std::vector<std::pair<std::string, std::string>> rows;
  if (choice.name != DiffusionModelName) return rows;
  LineSettings line;
  line.Model = choice;
  for (const LineSetting& setting : LineSettingCatalogue()) {
    if (setting.object != "Model") continue;
    if (setting.type == LineSettingType::Text) {
      rows.emplace_back(setting.name, setting.Text(line));
    } else if (const double value = *setting.Number(line); setting.zone == 0 || value != 0) {
      rows.emplace_back(NameWithUnit(setting), Shortest(value));
    }
  }
  return rows;
}

void SetLineSetting(LineSettings& s, const LineSetting& setting, std::optional<double> value) {
  if (setting.type != LineSettingType::Number) Refuse(setting, "is a text, not a number.");
  if (value) {
    CheckNumber(setting, *value);
  } else if (!setting.optional) {
    Refuse(setting, "needs a number.");
  }
  setting.access.setNumber(s, setting.zone, value);
}

void SetLineSettingText(LineSettings& s, const LineSetting& setting, std::string text) {
  if (setting.type != LineSettingType::Text) Refuse(setting, "is a number, not a text.");
  if (text.empty() && !setting.optional) Refuse(setting, "needs a text.");
  if (!text.empty() && !setting.choices.empty() &&
      std::find(setting.choices.begin(), setting.choices.end(), text) == setting.choices.end()) {
    Refuse(setting, "must be " + ChoicesText(setting) + ", not \"" + text + "\".");
  }
  setting.access.setText(s, setting.zone, std::move(text));
}

void ApplyLineSetting(LineSettings& settings, std::string_view assignment) {
  const std::size_t equals = assignment.find('=');
  if (equals == std::string_view::npos) {
    throw LineSettingError("\"" + std::string(assignment) + "\" is not NAME=VALUE.");
  }
  const std::string_view name = assignment.substr(0, equals);
  const std::string_view text = assignment.substr(equals + 1);
  const LineSetting* setting = FindLineSetting(name);
  if (setting == nullptr) throw LineSettingError("There is no line setting \"" + std::string(name) + "\".");
  if (setting->type == LineSettingType::Text) {
    SetLineSettingText(settings, *setting, std::string(text));
    return;
  }
  std::optional<double> value;
  if (!text.empty()) {
    value = ParseNumber(text);
    if (!value) Refuse(*setting, "needs a number, not \"" + std::string(text) + "\".");
  }
  SetLineSetting(settings, *setting, value);
}

}  // namespace tovimar
