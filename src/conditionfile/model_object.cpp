// The line file's "Model" object.
#include "conditionfile/model_object.h"

#include <charconv>
#include <string>

#include "conditionfile/line_file.h"
#include "input/number_parse.h"
#include "model/model_settings.h"

namespace tovimar {

namespace {

// A JSON number as the text that reads back to it exactly.
std::string NumberText(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// Sets one row from a JSON value; the message names the key as the line file has it.
void Set(ModelChoice& choice, const ModelSettingName& name, const nlohmann::json& value, const std::string& key) {
  std::string text;
  if (name.setting->kind == ModelSettingKind::Name) {
    if (!value.is_string()) throw LineFileError("\"Model\": \"" + key + "\" must be a text.");
    text = value.get<std::string>();
  } else {
    if (!value.is_number()) throw LineFileError("\"Model\": \"" + key + "\" must be a number.");
    text = NumberText(value.get<double>());
  }
  try {
    SetModelSetting(choice, name, text, ParseNumber);
  } catch (const UserError& e) {
    throw LineFileError(std::string("\"Model\": ") + e.what());
  }
}

}  // namespace

ModelChoice ReadModelObject(const nlohmann::json& object) {
  if (!object.is_object()) throw LineFileError("\"Model\" must be an object.");
  ModelChoice choice;
  for (const auto& [key, value] : object.items()) {
    const std::optional<ModelSettingName> row = FindModelSetting(key);
    const ModelSetting* zoneRow = nullptr;
    for (const ModelSetting& s : ModelSettings()) {
      if (s.kind == ModelSettingKind::Zone && s.name == key) zoneRow = &s;
    }
    if (zoneRow != nullptr) {
      if (!value.is_object()) {
        throw LineFileError("\"Model\": \"" + key + "\" must be an object of zone numbers \"1\" to \"14\".");
      }
      for (const auto& [zone, v] : value.items()) {
        const std::optional<ModelSettingName> named = FindModelSetting(key + "[" + zone + "]");
        if (!named || zone.empty() || zone.front() == '0') {
          throw LineFileError("\"Model\": \"" + key + "\" has no zone \"" + zone + "\".");
        }
        Set(choice, *named, v, key + "[" + zone + "]");
      }
    } else if (row) {
      Set(choice, *row, value, key);
    } else {
      throw LineFileError("\"Model\" holds the unknown key \"" + key + "\".");
    }
  }
  return choice;
}

nlohmann::ordered_json ModelObject(const ModelChoice& choice) {
  nlohmann::ordered_json object = nlohmann::ordered_json::object();
  for (const ModelSetting& s : ModelSettings()) {
    if (s.kind == ModelSettingKind::Name) {
      object[std::string(s.name)] = choice.name;
    } else if (s.kind == ModelSettingKind::Zone) {
      nlohmann::ordered_json zones = nlohmann::ordered_json::object();
      for (std::int32_t z = 1; z <= MaxZones; ++z) {
        const ModelSettingName name{&s, z};
        if (const double v = ModelSettingValue(choice, name); v != ModelSettingDefault(name)) {
          zones[std::to_string(z)] = v;
        }
      }
      if (!zones.empty()) object[std::string(s.name)] = zones;
    } else {
      const ModelSettingName name{&s, 0};
      if (const double v = ModelSettingValue(choice, name); v != ModelSettingDefault(name)) {
        if (s.kind == ModelSettingKind::Count) {
          object[std::string(s.name)] = static_cast<std::int64_t>(v);
        } else {
          object[std::string(s.name)] = v;
        }
      }
    }
  }
  return object;
}

bool IsDefaultModelChoice(const ModelChoice& choice) {
  return ModelObject(choice).size() == 1 && choice.name == DefaultModelName;
}

}  // namespace tovimar
