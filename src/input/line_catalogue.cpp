// The catalogue of line settings, and setting them by value or by "NAME=TEXT".
#include "input/line_catalogue.h"

#include <charconv>
#include <cmath>

#include "input/number_parse.h"

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
