// The line file (JSON) and the `--set NAME=VALUE` names of the line settings.
#include "conditionfile/line_file.h"

#include <cctype>
#include <cmath>
#include <cstddef>
#include <nlohmann/json.hpp>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "conditionfile/input_file.h"
#include "conditionfile/model_object.h"
#include "format/file_writer.h"
#include "input/number_parse.h"
#include "model/model_settings.h"

namespace tovimar {

namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

constexpr const char* ZoneExhaustFlowKey = "ZoneExhaustFlow";
constexpr const char* ZoneLELLimitKey = "ZoneLELLimit";
constexpr const char* OptimiseKey = "Optimise";
constexpr const char* FitKey = "Fit";
constexpr const char* ModelKey = "Model";

// The name of a setting in messages: the key, and the zone for a zone setting.
std::string NameOf(const std::string& key, int zone) {
  return zone == 0 ? key : key + "[" + std::to_string(zone) + "]";
}

[[noreturn]] void Refuse(const std::string& key, int zone, const std::string& what) {
  throw LineFileError("\"" + NameOf(key, zone) + "\" " + what);
}

// The LELs and the limits divide, so they must be above zero; the rest may be zero.
bool MustBePositive(const std::string& key) {
  return key == "LEL1" || key == "LEL2" || key == "LELLimit" || key == ZoneLELLimitKey;
}

void CheckValue(const std::string& key, int zone, double value) {
  if (!std::isfinite(value)) Refuse(key, zone, "must be a finite number.");
  if (value < 0) Refuse(key, zone, "must not be negative.");
  if (value == 0 && MustBePositive(key)) Refuse(key, zone, "must be greater than zero.");
}

// Stores a checked value (none: clear) in the setting `key` of zone `zone`.
void Store(LineSettings& s, const std::string& key, int zone, std::optional<double> value) {
  if (value) CheckValue(key, zone, *value);
  const auto z = static_cast<std::size_t>(zone);
  if (key == "WebWidth") {
    s.WebWidth = value.value();
  } else if (key == ZoneExhaustFlowKey) {
    s.ZoneExhaustFlow[z] = value;
  } else if (key == "LEL1") {
    s.LEL1 = value.value();
  } else if (key == "LEL2") {
    s.LEL2 = value.value();
  } else if (key == "LELLimit") {
    s.LELLimit = value.value();
  } else if (key == ZoneLELLimitKey) {
    s.ZoneLELLimit[z] = value;
  } else if (key == "ResidualTarget") {
    s.ResidualTarget = value;
  } else if (key == "BoilingMarginMin") {
    s.BoilingMarginMin = value.value();
  } else {
    throw LineFileError("Unknown key \"" + key + "\" in the line file.");
  }
}

double NumberOf(const Json& value, const std::string& key, int zone) {
  if (!value.is_number()) Refuse(key, zone, "must be a number.");
  return value.get<double>();
}

// A zone setting: an object of zone numbers "1" to "14".
void ReadZones(LineSettings& s, const std::string& key, const Json& zones) {
  if (!zones.is_object()) {
    Refuse(key, 0, "must be an object of zone numbers \"1\" to \"14\".");
  }
  for (const auto& [zoneText, value] : zones.items()) {
    int zone = 0;
    for (int z = 1; z <= MaxZones; ++z) {
      if (zoneText == std::to_string(z)) zone = z;
    }
    if (zone == 0) {
      Refuse(key, 0, "has no zone \"" + zoneText + "\": the zones are \"1\" to \"14\".");
    }
    // null: the zone has no value of its own, as when it is left out.
    Store(s, key, zone, value.is_null() ? std::nullopt : std::optional(NumberOf(value, key, zone)));
  }
}

// The texts of the optimiser's and the fitter's set-ups, kept as they are: the line file
// cannot read them (study/ does), so it only checks that each is a non-empty text.
std::string TextOf(const Json& value, const std::string& name) {
  if (!value.is_string()) Refuse(name, 0, "must be a text.");
  std::string text = value.get<std::string>();
  if (text.empty()) Refuse(name, 0, "must not be empty.");
  return text;
}

std::vector<std::string> TextsOf(const Json& value, const std::string& name) {
  if (!value.is_array()) Refuse(name, 0, "must be a list of texts.");
  std::vector<std::string> texts;
  for (const Json& item : value) {
    if (!item.is_string()) Refuse(name, 0, "must be a list of texts.");
    texts.push_back(item.get<std::string>());
    if (texts.back().empty()) Refuse(name, 0, "must not hold an empty text.");
  }
  return texts;
}

// One set-up object: each key is "OBJECT.KEY" in messages, and `read` takes the known ones.
template <typename Read>
void ReadSetup(const std::string& object, const Json& value, Read read) {
  if (!value.is_object()) Refuse(object, 0, "must be an object.");
  for (const auto& [key, item] : value.items()) {
    if (!read(key, item, object + "." + key)) {
      throw LineFileError("Unknown key \"" + key + "\" in \"" + object + "\".");
    }
  }
}

OptimiseSetup ReadOptimiseSetup(const Json& value) {
  OptimiseSetup setup;
  ReadSetup(OptimiseKey, value, [&](const std::string& key, const Json& item, const std::string& name) {
    if (key == "Objective") {
      setup.objective = TextOf(item, name);
    } else if (key == "Variables") {
      setup.variables = TextsOf(item, name);
    } else if (key == "Limits") {
      setup.limits = TextsOf(item, name);
    } else {
      return false;
    }
    return true;
  });
  return setup;
}

FitSetup ReadFitSetup(const Json& value) {
  FitSetup setup;
  ReadSetup(FitKey, value, [&](const std::string& key, const Json& item, const std::string& name) {
    if (key == "MeasurementFile") {
      setup.measurementFile = TextOf(item, name);
    } else if (key == "Parameters") {
      setup.parameters = TextsOf(item, name);
    } else if (key == "StandardDeviations") {
      setup.standardDeviations = TextsOf(item, name);
    } else {
      return false;
    }
    return true;
  });
  return setup;
}

// A set-up's keys with something in them; an empty text or list is left out.
void PutText(OrderedJson& object, const char* key, const std::string& text) {
  if (!text.empty()) object[key] = text;
}

void PutTexts(OrderedJson& object, const char* key, const std::vector<std::string>& texts) {
  if (!texts.empty()) object[key] = texts;
}

// A key given twice in one object: the JSON library keeps the last, which would quietly
// drop the first.
struct RepeatedKey {
  std::string object;  // the key the object stands under; empty for the file's own object
  std::string key;
};

// A parser callback that throws RepeatedKey for the second of two equal keys in an object.
Json::parser_callback_t RefuseRepeatedKeys() {
  struct Objects {
    std::vector<std::set<std::string>> keys;  // of each open object, innermost last
    std::vector<std::string> names;
    std::string lastKey;
  };
  auto objects = std::make_shared<Objects>();
  return [objects](int /*depth*/, Json::parse_event_t event, Json& parsed) {
    switch (event) {
      case Json::parse_event_t::object_start:
        objects->names.push_back(objects->keys.empty() ? std::string() : objects->lastKey);
        objects->keys.emplace_back();
        break;
      case Json::parse_event_t::object_end:
        objects->keys.pop_back();
        objects->names.pop_back();
        break;
      case Json::parse_event_t::key:
        objects->lastKey = parsed.get<std::string>();
        if (!objects->keys.back().insert(objects->lastKey).second) {
          throw RepeatedKey{objects->names.back(), objects->lastKey};
        }
        break;
      default:
        break;
    }
    return true;
  };
}

}  // namespace

LineSettings ParseLineSettings(std::string_view json) {
  Json root;
  try {
    root = Json::parse(json.begin(), json.end(), RefuseRepeatedKeys());
  } catch (const RepeatedKey& repeated) {
    throw LineFileError((repeated.object.empty() ? std::string("The line file")
                                                 : "\"" + repeated.object + "\"") +
                        " holds the key \"" + repeated.key + "\" twice.");
  } catch (const Json::parse_error& e) {
    throw LineFileError("The line file is not JSON (at byte " + std::to_string(e.byte) + ").");
  } catch (const Json::out_of_range& e) {
    // A number beyond the range of a double (1e400) is refused while parsing, before its key
    // is known; the library's text quotes the number.
    const std::string what = e.what();
    throw LineFileError("The line file holds a number out of range (" +
                        what.substr(what.find(']') + 2) + ").");
  }
  if (!root.is_object()) {
    throw LineFileError("The line file must hold one JSON object.");
  }
  LineSettings s;
  for (const auto& [key, value] : root.items()) {
    if (key == ZoneExhaustFlowKey || key == ZoneLELLimitKey) {
      ReadZones(s, key, value);
    } else if (key == OptimiseKey) {
      s.Optimise = ReadOptimiseSetup(value);
    } else if (key == FitKey) {
      s.Fit = ReadFitSetup(value);
    } else if (key == ModelKey) {
      s.Model = ReadModelObject(value);
    } else if (key == "ResidualTarget" && value.is_null()) {
      s.ResidualTarget.reset();
    } else {
      Store(s, key, 0, NumberOf(value, key, 0));
    }
  }
  return s;
}

LineSettings ReadLineFile(const std::string& path) {
  FileSource file(path, "line file");
  const std::optional<std::string> text = ReadWholeInput(file, MaxLineFileLength);
  if (!text) {
    const std::string reason = "longer than " + SizeText(MaxLineFileLength);
    throw FileError(FileError::Failure::BadContent,
                    "The line file \"" + path + "\" is " + reason + ".", path, reason);
  }
  try {
    return ParseLineSettings(*text);
  } catch (const LineFileError& e) {
    throw LineFileError("\"" + path + "\": " + e.what());
  }
}

std::string FormatLineSettings(const LineSettings& s) {
  OrderedJson root;
  root["WebWidth"] = s.WebWidth;
  OrderedJson flows = OrderedJson::object();
  OrderedJson limits = OrderedJson::object();
  for (int z = 1; z <= MaxZones; ++z) {
    const auto zone = static_cast<std::size_t>(z);
    if (s.ZoneExhaustFlow[zone]) flows[std::to_string(z)] = *s.ZoneExhaustFlow[zone];
    if (s.ZoneLELLimit[zone]) limits[std::to_string(z)] = *s.ZoneLELLimit[zone];
  }
  root[ZoneExhaustFlowKey] = flows;
  root["LEL1"] = s.LEL1;
  root["LEL2"] = s.LEL2;
  root["LELLimit"] = s.LELLimit;
  root[ZoneLELLimitKey] = limits;
  if (s.ResidualTarget) root["ResidualTarget"] = *s.ResidualTarget;
  root["BoilingMarginMin"] = s.BoilingMarginMin;
  OrderedJson optimise = OrderedJson::object();
  PutText(optimise, "Objective", s.Optimise.objective);
  PutTexts(optimise, "Variables", s.Optimise.variables);
  PutTexts(optimise, "Limits", s.Optimise.limits);
  if (!optimise.empty()) root[OptimiseKey] = optimise;
  OrderedJson fit = OrderedJson::object();
  PutText(fit, "MeasurementFile", s.Fit.measurementFile);
  PutTexts(fit, "Parameters", s.Fit.parameters);
  PutTexts(fit, "StandardDeviations", s.Fit.standardDeviations);
  if (!fit.empty()) root[FitKey] = fit;
  if (!IsDefaultModelChoice(s.Model)) root[ModelKey] = ModelObject(s.Model);
  try {
    return root.dump(2) + "\n";
  } catch (const Json::type_error&) {
    // Only a set-up's text can be other than UTF-8 (a file name given as bytes).
    throw LineFileError("The optimiser's or the fit's set-up holds a text that is not UTF-8.");
  }
}

void WriteLineFile(const std::string& path, const LineSettings& settings) {
  WriteTextFile(path, FormatLineSettings(settings), "line file");
}

const std::vector<LineSettingName>& LineSettingNames() {
  static const std::vector<LineSettingName> names = [] {
    const std::string normalFlow = "m3/h at 0 \u2103 and 101.325 kPa";
    std::vector<LineSettingName> v;
    v.push_back({"WebWidth", "WebWidth", 0, "Coated web width", "m", false});
    for (int z = 1; z <= MaxZones; ++z) {
      v.push_back({NameOf(ZoneExhaustFlowKey, z), ZoneExhaustFlowKey, z,
                   "Exhaust flow of zone " + std::to_string(z), normalFlow, true});
    }
    v.push_back({"LEL1", "LEL1", 0, "Lower explosive limit of solvent-1", "vol %", false});
    v.push_back({"LEL2", "LEL2", 0, "Lower explosive limit of solvent-2", "vol %", false});
    v.push_back({"LELLimit", "LELLimit", 0, "Exhaust concentration limit", "% of LEL", false});
    for (int z = 1; z <= MaxZones; ++z) {
      v.push_back({NameOf(ZoneLELLimitKey, z), ZoneLELLimitKey, z,
                   "Exhaust concentration limit of zone " + std::to_string(z), "% of LEL",
                   true});
    }
    v.push_back({"ResidualTarget", "ResidualTarget", 0, "Residual solvent target", "g/m2",
                 true});
    v.push_back({"BoilingMarginMin", "BoilingMarginMin", 0, "Least margin below boiling", "K",
                 false});
    // The drying model's names, from their own table; their key is the "Model" object's.
    for (const ModelSetting& m : ModelSettings()) {
      for (int z = m.kind == ModelSettingKind::Zone ? 1 : 0; z <= (m.kind == ModelSettingKind::Zone ? MaxZones : 0); ++z) {
        std::string caption(m.caption);
        caption[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(caption[0])));
        if (z > 0) caption.append(" in zone ").append(std::to_string(z));
        v.push_back({NameOf(std::string(m.name), z), ModelKey, z, caption, std::string(m.unit), false});
      }
    }
    return v;
  }();
  return names;
}

void ApplyLineSetting(LineSettings& settings, std::string_view assignment) {
  const std::size_t equals = assignment.find('=');
  if (equals == std::string_view::npos) {
    throw LineFileError("\"" + std::string(assignment) + "\" is not NAME=VALUE.");
  }
  const std::string_view name = assignment.substr(0, equals);
  const std::string_view text = assignment.substr(equals + 1);
  if (const std::optional<ModelSettingName> model = FindModelSetting(name)) {
    try {
      SetModelSetting(settings.Model, *model, text, ParseNumber);
    } catch (const UserError& e) {
      throw LineFileError(e.what());
    }
    return;
  }
  for (const LineSettingName& entry : LineSettingNames()) {
    if (entry.name != name) continue;
    std::optional<double> value;
    if (!text.empty()) {
      value = ParseNumber(text);
      if (!value) Refuse(entry.key, entry.zone, "needs a number, not \"" + std::string(text) + "\".");
    } else if (!entry.clearable) {
      Refuse(entry.key, entry.zone, "needs a number.");
    }
    LineSettings changed = settings;
    Store(changed, entry.key, entry.zone, value);
    settings = changed;
    return;
  }
  throw LineFileError("There is no line setting \"" + std::string(name) + "\".");
}

}  // namespace tovimar
