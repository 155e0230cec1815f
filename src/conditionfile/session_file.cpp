// The session file (JSON): the window's entries, line settings, pinned runs and place.
#include "conditionfile/session_file.h"

#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <set>

#include "conditionfile/line_file.h"
#include "format/file_writer.h"
#include "input/field_catalogue.h"

namespace tovimar {

namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

constexpr const char* VersionKey = "TovimarSession";

[[noreturn]] void Refuse(const std::string& where, const std::string& what) {
  throw SessionFileError("\"" + where + "\" " + what);
}

// The entry a session key names: a field name, an entry name or "ResultFileName".
std::string EntryOfKey(const std::string& key, const std::string& where) {
  if (key == SaveFileNameField || key == SaveFileNameEntry) return std::string(SaveFileNameEntry);
  if (const ConditionField* field = FindField(key)) return field->entryName;
  Refuse(where, "names no entry: \"" + key + "\".");
}

// The key an entry is written under: its field name.
std::string KeyOfEntry(const std::string& entryName) {
  if (entryName == SaveFileNameEntry) return std::string(SaveFileNameField);
  const ConditionField* field = FindField(entryName);
  return field != nullptr ? field->fieldName : entryName;
}

RunInputs ReadInputs(const Json& entries, const Json* line, const std::string& where) {
  RunInputs inputs = DefaultSession().inputs;
  if (!entries.is_object()) Refuse(where + "Entries", "must be an object of texts.");
  std::set<std::string> given;
  for (const auto& [key, text] : entries.items()) {
    const std::string entry = EntryOfKey(key, where + "Entries");
    if (!text.is_string()) Refuse(where + "Entries." + key, "must be a text.");
    if (!given.insert(entry).second) Refuse(where + "Entries." + key, "gives an entry a second time.");
    inputs.entries[entry] = text.get<std::string>();
  }
  if (line != nullptr) {
    if (!line->is_object()) Refuse(where + "Line", "must be an object as in a line file.");
    try {
      inputs.line = ParseLineSettings(line->dump());
    } catch (const LineFileError& e) {
      throw SessionFileError("\"" + where + "Line\": " + e.what());
    }
  }
  return inputs;
}

OrderedJson EntriesJson(const RunInputs& inputs) {
  OrderedJson entries = OrderedJson::object();
  for (const std::string& name : AllEntryNames()) {
    const auto text = inputs.entries.find(name);
    if (text != inputs.entries.end()) entries[KeyOfEntry(name)] = text->second;
  }
  return entries;
}

OrderedJson LineJson(const LineSettings& line) { return OrderedJson::parse(FormatLineSettings(line)); }

std::string TextOf(const Json& value, const std::string& key) {
  if (!value.is_string()) Refuse(key, "must be a text.");
  return value.get<std::string>();
}

int IntOf(const Json& value, const std::string& key) {
  if (!value.is_number_integer()) Refuse(key, "must be a whole number.");
  const auto n = value.get<long long>();
  if (n < -1000000 || n > 1000000) Refuse(key, "is out of range.");
  return static_cast<int>(n);
}

SessionWindow ReadWindow(const Json& window) {
  if (!window.is_object()) Refuse("Window", "must be an object.");
  SessionWindow w;
  for (const auto& [key, value] : window.items()) {
    const std::string where = "Window." + key;
    if (key == "X") {
      w.x = IntOf(value, where);
    } else if (key == "Y") {
      w.y = IntOf(value, where);
    } else if (key == "Width") {
      w.width = IntOf(value, where);
    } else if (key == "Height") {
      w.height = IntOf(value, where);
    } else if (key == "Maximised") {
      if (!value.is_boolean()) Refuse(where, "must be true or false.");
      w.maximised = value.get<bool>();
    } else {
      Refuse(where, "is not a key of a session.");
    }
  }
  if (w.width <= 0 || w.height <= 0) Refuse("Window", "needs a Width and a Height above 0.");
  return w;
}

SessionPin ReadPin(const Json& pin, std::size_t index) {
  const std::string where = "Pinned[" + std::to_string(index + 1) + "].";
  if (!pin.is_object()) Refuse(where.substr(0, where.size() - 1), "must be an object.");
  SessionPin p;
  for (const auto& [key, value] : pin.items()) {
    if (key != "Name" && key != "Entries" && key != "Line") Refuse(where + key, "is not a key of a pinned run.");
  }
  if (!pin.contains("Name")) Refuse(where + "Name", "is missing.");
  p.name = TextOf(pin["Name"], where + "Name");
  if (p.name.empty()) Refuse(where + "Name", "must not be empty.");
  p.inputs = ReadInputs(pin.contains("Entries") ? pin["Entries"] : Json::object(),
                        pin.contains("Line") ? &pin["Line"] : nullptr, where);
  return p;
}

}  // namespace

Session DefaultSession() {
  Session session;
  session.inputs = InputsOf(MapEntryTexts(), LineSettings{});
  return session;
}

Session ParseSession(std::string_view text) {
  Json root;
  try {
    root = Json::parse(text);
  } catch (const Json::parse_error& e) {
    throw SessionFileError(std::string("It is not JSON: ") + e.what());
  }
  if (!root.is_object() || !root.contains(VersionKey)) {
    throw SessionFileError("It is not a session: it has no \"TovimarSession\" key.");
  }
  const Json& version = root[VersionKey];
  if (!version.is_number_integer() || version.get<long long>() < 1) {
    Refuse(VersionKey, "must be a whole number from 1.");
  }
  if (version.get<long long>() > SessionFormatVersion) {
    Refuse(VersionKey, "is " + version.dump() + ": the session was written by a newer version of the program.");
  }
  Session session = DefaultSession();
  for (const auto& [key, value] : root.items()) {
    if (key == VersionKey || key == "Entries" || key == "Line") {
      continue;
    } else if (key == "Pinned") {
      if (!value.is_array()) Refuse(key, "must be a list of pinned runs.");
      for (std::size_t i = 0; i < value.size(); ++i) session.pinned.push_back(ReadPin(value[i], i));
    } else if (key == "DataFile") {
      session.dataFile = TextOf(value, key);
    } else if (key == "SessionFile") {
      session.sessionFile = TextOf(value, key);
    } else if (key == "Window") {
      session.window = ReadWindow(value);
    } else {
      Refuse(key, "is not a key of a session.");
    }
  }
  session.inputs = ReadInputs(root.contains("Entries") ? root["Entries"] : Json::object(),
                              root.contains("Line") ? &root["Line"] : nullptr, "");
  return session;
}

std::string FormatSession(const Session& session) {
  OrderedJson root;
  root[VersionKey] = SessionFormatVersion;
  root["Entries"] = EntriesJson(session.inputs);
  root["Line"] = LineJson(session.inputs.line);
  OrderedJson pinned = OrderedJson::array();
  for (const SessionPin& pin : session.pinned) {
    OrderedJson p;
    p["Name"] = pin.name;
    p["Entries"] = EntriesJson(pin.inputs);
    p["Line"] = LineJson(pin.inputs.line);
    pinned.push_back(std::move(p));
  }
  if (!pinned.empty()) root["Pinned"] = std::move(pinned);
  if (!session.dataFile.empty()) root["DataFile"] = session.dataFile;
  if (!session.sessionFile.empty()) root["SessionFile"] = session.sessionFile;
  if (session.window) {
    const SessionWindow& w = *session.window;
    root["Window"] = OrderedJson{{"X", w.x}, {"Y", w.y}, {"Width", w.width}, {"Height", w.height},
                                 {"Maximised", w.maximised}};
  }
  return root.dump(2, ' ', false, OrderedJson::error_handler_t::replace) + "\n";
}

Session ReadSessionFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) {
    throw UserError(ErrorKind::File, "The session \"" + path + "\" cannot be opened.");
  }
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) {
    throw UserError(ErrorKind::File, "The session \"" + path + "\" cannot be read.");
  }
  try {
    return ParseSession(text);
  } catch (const SessionFileError& e) {
    throw SessionFileError("\"" + path + "\": " + e.what());
  }
}

void WriteSessionFile(const std::string& path, const Session& session) {
  WriteTextFile(path, FormatSession(session), "session");
}

}  // namespace tovimar
