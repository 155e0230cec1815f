// The line file (JSON), read and written through the catalogue of line settings.
#include "conditionfile/line_file.h"

#include <cmath>
#include <cstddef>
#include <nlohmann/json.hpp>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "conditionfile/input_file.h"
#include "conditionfile/material_choice.h"
#include "format/file_writer.h"
#include "format/csv.h"
#include "input/field_catalogue.h"
#include "input/number_parse.h"

namespace tovimar {

namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

constexpr const char* OptimiseKey = "Optimise";
constexpr const char* FitKey = "Fit";
constexpr const char* OverridesKey = "MaterialOverrides";

[[noreturn]] void Refuse(const std::string& name, const std::string& what) {
  throw LineFileError("\"" + name + "\" " + what);
}

// One value of `setting`: a number or a text as its type asks, or null for none.
void ReadValue(LineSettings& s, const LineSetting& setting, const Json& value) {
  if (value.is_null() && setting.optional) {
    // null: no value of its own, as when it is left out.
    if (setting.type == LineSettingType::Text) {
      SetLineSettingText(s, setting, std::string());
    } else {
      SetLineSetting(s, setting, std::nullopt);
    }
  } else if (setting.type == LineSettingType::Text) {
    if (!value.is_string()) Refuse(setting.name, "must be a text.");
    SetLineSettingText(s, setting, value.get<std::string>());
  } else {
    if (!value.is_number()) Refuse(setting.name, "must be a number.");
    SetLineSetting(s, setting, value.get<double>());
  }
}

// A per-zone setting: an object of zone numbers "1" to "14".
void ReadZones(LineSettings& s, const std::string& object, const std::string& key, const Json& zones) {
  if (!zones.is_object()) {
    Refuse(key, "must be an object of zone numbers \"1\" to \"14\".");
  }
  for (const auto& [zoneText, value] : zones.items()) {
    const LineSetting* setting = nullptr;
    for (int z = 1; z <= MaxZones; ++z) {
      if (zoneText == std::to_string(z)) setting = FindLineSetting(object, key, z);
    }
    if (setting == nullptr) {
      Refuse(key, "has no zone \"" + zoneText + "\": the zones are \"1\" to \"14\".");
    }
    ReadValue(s, *setting, value);
  }
}

bool IsNestedObject(const std::string& key) {
  for (const LineSetting& setting : LineSettingCatalogue()) {
    if (setting.object == key) return true;
  }
  return false;
}

// The key `key` of the object `object` (empty: the file's own object).
void ReadKey(LineSettings& s, const std::string& object, const std::string& key, const Json& value) {
  if (const LineSetting* setting = FindLineSetting(object, key, 0)) {
    ReadValue(s, *setting, value);
  } else if (FindLineSetting(object, key, 1) != nullptr) {
    ReadZones(s, object, key, value);
  } else if (object.empty() && IsNestedObject(key)) {
    if (!value.is_object()) Refuse(key, "must be an object.");
    for (const auto& [inner, item] : value.items()) ReadKey(s, key, inner, item);
  } else if (object.empty()) {
    throw LineFileError("Unknown key \"" + key + "\" in the line file.");
  } else {
    throw LineFileError("Unknown key \"" + key + "\" in \"" + object + "\".");
  }
}

// The JSON form of the value of `setting` in `s`, which is set.
OrderedJson JsonOf(const LineSetting& setting, const LineSettings& s) {
  if (setting.type == LineSettingType::Text) return setting.Text(s);
  return *setting.Number(s);
}

// The texts of the optimiser's and the fitter's set-ups, kept as they are: the line file
// cannot read them (study/ does), so it only checks that each is a non-empty text.
std::string TextOf(const Json& value, const std::string& name) {
  if (!value.is_string()) Refuse(name, "must be a text.");
  std::string text = value.get<std::string>();
  if (text.empty()) Refuse(name, "must not be empty.");
  return text;
}

std::vector<std::string> TextsOf(const Json& value, const std::string& name) {
  if (!value.is_array()) Refuse(name, "must be a list of texts.");
  std::vector<std::string> texts;
  for (const Json& item : value) {
    if (!item.is_string()) Refuse(name, "must be a list of texts.");
    texts.push_back(item.get<std::string>());
    if (texts.back().empty()) Refuse(name, "must not hold an empty text.");
  }
  return texts;
}

// One set-up object: each key is "OBJECT.KEY" in messages, and `read` takes the known ones.
template <typename Read>
void ReadSetup(const std::string& object, const Json& value, Read read) {
  if (!value.is_object()) Refuse(object, "must be an object.");
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

// The changed values of the named materials: an object of condition field names of the
// materials' entries, each a number or a text.
std::vector<std::pair<std::string, std::string>> ReadOverrides(const Json& value) {
  if (!value.is_object()) Refuse(OverridesKey, "must be an object.");
  std::vector<std::pair<std::string, std::string>> overrides;
  for (const auto& [name, item] : value.items()) {
    const ConditionField* field = FindField(name);
    bool material = false;
    for (const MaterialSlotInfo& info : MaterialSlots()) {
      for (const MaterialEntry& entry : MaterialEntries(info.slot)) {
        material = material || (field != nullptr && field->fieldName == name && entry.entryName == field->entryName);
      }
    }
    if (!material) {
      throw LineFileError("Unknown key \"" + name + "\" in \"" + OverridesKey + "\": it holds the names of the " +
                          "materials' entries.");
    }
    if (item.is_number()) {
      overrides.emplace_back(name, ShortestNumberText(item.get<double>()));
    } else if (item.is_string()) {
      overrides.emplace_back(name, item.get<std::string>());
    } else {
      Refuse(std::string(OverridesKey) + "." + name, "must be a number or a text.");
    }
  }
  return overrides;
}

// An override as the file keeps it: a number where the text is one in its shortest form,
// so that it reads back as the same text; the text itself otherwise.
OrderedJson OverrideJson(const std::string& text) {
  const std::optional<double> number = ParseNumber(text);
  if (number && ShortestNumberText(*number) == text) return *number;
  return text;
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
    if (key == OptimiseKey) {
      s.Optimise = ReadOptimiseSetup(value);
    } else if (key == FitKey) {
      s.Fit = ReadFitSetup(value);
    } else if (key == OverridesKey) {
      s.MaterialOverrides = ReadOverrides(value);
    } else {
      ReadKey(s, "", key, value);
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
  const LineSettings defaults;
  OrderedJson root = OrderedJson::object();
  std::vector<std::string> nested;
  for (const LineSetting& setting : LineSettingCatalogue()) {
    if (!setting.object.empty() && !root.contains(setting.object)) {
      // In the place of its first setting; left out below when nothing is written in it.
      root[setting.object] = OrderedJson::object();
      nested.push_back(setting.object);
    }
    OrderedJson& object = setting.object.empty() ? root : root[setting.object];
    if (setting.zone != 0 && setting.writtenAtDefault && !object.contains(setting.key)) {
      object[setting.key] = OrderedJson::object();
    }
    if (!setting.IsSet(s) || (!setting.writtenAtDefault && setting.Same(s, defaults))) continue;
    if (setting.zone == 0) {
      object[setting.key] = JsonOf(setting, s);
    } else {
      object[setting.key][std::to_string(setting.zone)] = JsonOf(setting, s);
    }
  }
  for (const std::string& object : nested) {
    if (root[object].empty()) root.erase(object);
  }
  if (!s.MaterialOverrides.empty()) {
    OrderedJson& overrides = root[OverridesKey] = OrderedJson::object();
    for (const auto& [name, text] : s.MaterialOverrides) overrides[name] = OverrideJson(text);
  }
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
  try {
    return root.dump(2) + "\n";
  } catch (const Json::type_error&) {
    // Only a set-up's text or a material's changed value can be other than UTF-8 (bytes given
    // as a file name or an entry's text).
    throw LineFileError("The optimiser's or the fit's set-up or a material's changed value holds a text that is "
                        "not UTF-8.");
  }
}

void WriteLineFile(const std::string& path, const LineSettings& settings) {
  WriteTextFile(path, FormatLineSettings(settings), "line file");
}

std::string LineSettingText(const LineSetting& setting, const LineSettings& settings) {
  if (setting.type == LineSettingType::Text) return setting.Text(settings);
  const std::optional<double> value = setting.Number(settings);
  return value ? ShortestNumberText(*value) : std::string();
}

}  // namespace tovimar
