// The materials library: reading and checking the shipped and the user's file, and adding
// to the user's.
#include "conditionfile/material_library.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <system_error>

#include "conditionfile/input_file.h"
#include "format/csv.h"
#include "format/file_writer.h"

namespace tovimar {

namespace {

using OrderedJson = nlohmann::ordered_json;

constexpr std::string_view FormatTag = "tovimar-materials";
constexpr std::size_t MaxLibraryLength = std::size_t{16} << 20;
// How far the boiling point the Antoine constants give may lie from the recorded one, K.
constexpr double BoilingPointTolerance = 0.5;
constexpr double AbsoluteZeroC = -273.15;

const std::vector<MaterialProperty> kSolventProperties{
    {"molarMass", "molar mass", 1, 1000},
    {"antoine.A", "Antoine constant A", 0, 20},
    {"antoine.B", "Antoine constant B", 0, 10000},
    {"antoine.C", "Antoine constant C", AbsoluteZeroC, 1000},
    {"antoine.tMinC", "lowest temperature of the Antoine constants", AbsoluteZeroC, 1000, false},
    {"antoine.tMaxC", "highest temperature of the Antoine constants", AbsoluteZeroC, 1000, false},
    {"normalBoilingPoint", "normal boiling point", AbsoluteZeroC, 1000, false},
    {"heatOfVaporization", "heat of vaporization", 0, 10000},
    {"specificHeat", "specific heat", 0, 20},
    {"density", "density", 0, 5},
    {"diffusivityInAir", "diffusivity in air", 0, 1e-3},
    {"lowerExplosiveLimit", "lower explosive limit", 0, 100, false},
};

const std::vector<MaterialProperty> kPolymerProperties{
    {"density", "density", 0, 5},
    {"specificHeat", "specific heat", 0, 20, false},
    {"molarMass", "molar mass", 1, 1e9, false},
};

// Members a material may hold besides its properties: identification, notes, and the
// diffusion model's data (read by ReadModelData).
const std::set<std::string, std::less<>> kSolventExtras{
    "name", "formula", "cas", "heatOfVaporizationAtBoilingPoint", "freeVolume", "note"};
const std::set<std::string, std::less<>> kPolymerExtras{"name", "freeVolume", "interactions", "note"};

std::string_view KindName(MaterialKind kind) {
  return kind == MaterialKind::Solvent ? "solvent" : "polymer";
}

std::string_view GroupOf(std::string_view member) {
  return member.substr(0, member.find('.'));
}

// A temperature to the hundredth of a kelvin, for messages.
std::string Hundredths(double t) {
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, t, std::chars_format::fixed, 2).ptr;
  return std::string(buffer, end);
}

[[noreturn]] void Refuse(const std::string& origin, const std::string& what) {
  throw MaterialLibraryError("The materials library \"" + origin + "\" is refused: " + what + ".");
}

// The value of `property` in `object`: a number member of its group ("antoine.A") or the
// "value" of its own object; nothing when absent.
std::optional<double> ReadValue(const OrderedJson& object, const MaterialProperty& property,
                                const std::string& where) {
  const std::string_view member = property.member;
  const std::size_t dot = member.find('.');
  const OrderedJson* node = nullptr;
  if (dot != std::string_view::npos) {
    const auto group = object.find(std::string(member.substr(0, dot)));
    if (group == object.end()) return std::nullopt;
    if (!group->is_object()) throw MaterialLibraryError(where + std::string(GroupOf(member)) + " is not an object");
    const auto it = group->find(std::string(member.substr(dot + 1)));
    if (it == group->end()) return std::nullopt;
    node = &*it;
  } else {
    const auto it = object.find(std::string(member));
    if (it == object.end()) return std::nullopt;
    if (!it->is_object() || !it->contains("value")) {
      throw MaterialLibraryError(where + std::string(member) + " has no \"value\"");
    }
    node = &(*it)["value"];
  }
  if (!node->is_number()) throw MaterialLibraryError(where + std::string(member) + " is not a number");
  const double value = node->get<double>();
  if (!std::isfinite(value) || !(value > property.above) || value > property.atMost) {
    throw MaterialLibraryError(where + std::string(member) + " (" + node->dump() +
                               ") is not a finite number above " + ShortestNumberText(property.above) +
                               " and at most " + ShortestNumberText(property.atMost));
  }
  return value;
}

// The checks between a solvent's values.
void CheckSolvent(const Material& m, const std::string& where) {
  const auto& a = m.Value(AntoineA);
  const auto& b = m.Value(AntoineB);
  const auto& c = m.Value(AntoineC);
  if ((a || b || c) && !(a && b && c)) throw MaterialLibraryError(where + "antoine needs A, B and C");
  const auto& low = m.Value(AntoineTMin);
  const auto& high = m.Value(AntoineTMax);
  if (low && high && !(*low < *high)) throw MaterialLibraryError(where + "antoine tMinC is not below tMaxC");
  if (c && low && !(*c + *low > 0)) throw MaterialLibraryError(where + "antoine C + tMinC is not above 0");
  const auto& boiling = m.Value(NormalBoilingPoint);
  if (!a || !boiling) return;
  const double t = AntoineTemperature(*a, *b, *c, 760);
  if (!(std::fabs(t - *boiling) <= BoilingPointTolerance)) {
    throw MaterialLibraryError(where + "the Antoine constants boil at " + Hundredths(t) +
                               " C, not within 0.5 K of the normal boiling point " + ShortestNumberText(*boiling) +
                               " C");
  }
  if ((low && *boiling < *low) || (high && *boiling > *high)) {
    throw MaterialLibraryError(where + "the normal boiling point lies outside the Antoine constants' range");
  }
}

// A number of a group ("freeVolume", a pair of "interactions"): the "value" of its object, a
// finite number of at least `least` (any finite number when `least` is -infinity).
struct GroupMember {
  std::string_view member;
  std::optional<double>* target;
  double least;
};

void ReadGroup(const OrderedJson& group, const std::string& where, const std::vector<GroupMember>& members) {
  if (!group.is_object()) throw MaterialLibraryError(where + "is not an object");
  for (const auto& entry : group.items()) {
    // Named references, not a structured binding: clang 14 cannot capture a binding in a lambda.
    const std::string& name = entry.key();
    const OrderedJson& item = entry.value();
    if (name == "note") continue;
    const auto member = std::find_if(members.begin(), members.end(), [&](const GroupMember& m) { return m.member == name; });
    if (member == members.end()) throw MaterialLibraryError(where + "unknown member \"" + name + "\"");
    if (!item.is_object() || !item.contains("value") || !item["value"].is_number()) {
      throw MaterialLibraryError(where + name + " has no number \"value\"");
    }
    const double value = item["value"].get<double>();
    if (!std::isfinite(value) || value < member->least) {
      throw MaterialLibraryError(where + name + " (" + item["value"].dump() + ") is not a finite number" +
                                 (std::isinf(member->least) ? "" : " of at least " + ShortestNumberText(member->least)));
    }
    *member->target = value;
  }
}

constexpr double AnyNumber = -std::numeric_limits<double>::infinity();

// The "freeVolume" and "interactions" members of a material, where it has them.
void ReadModelData(Material& m, const OrderedJson& object, const std::string& where) {
  if (const auto group = object.find("freeVolume"); group != object.end()) {
    const bool solvent = m.kind == MaterialKind::Solvent;
    FreeVolume& f = m.freeVolume;
    ReadGroup(*group, where + "freeVolume: ",
              {{"holeVolume", &f.holeVolume, 0}, {solvent ? "k11OverGamma" : "k12OverGamma", &f.k1OverGamma, 0},
               {solvent ? "k21MinusTg1" : "k22MinusTg2", &f.k2MinusTg, AnyNumber}});
  }
  const auto pairs = object.find("interactions");
  if (pairs == object.end()) return;
  if (!pairs->is_object()) throw MaterialLibraryError(where + "interactions is not an object");
  for (const auto& [solvent, pair] : pairs->items()) {
    PairValues v;
    ReadGroup(pair, where + "interactions with \"" + solvent + "\": ",
              {{"chi", &v.chi, AnyNumber}, {"xi", &v.xi, 0}, {"D0", &v.D0, 0}, {"E", &v.E, 0}});
    m.interactions.emplace_back(solvent, v);
  }
}

Material ReadMaterial(MaterialKind kind, const std::string& key, const OrderedJson& object, bool fromUser) {
  const std::string where = std::string(KindName(kind)) + " \"" + key + "\": ";
  if (key.empty()) throw MaterialLibraryError(std::string(KindName(kind)) + " with an empty key");
  if (!object.is_object()) throw MaterialLibraryError(where + "not an object");
  const auto name = object.find("name");
  if (name == object.end() || !name->is_string() || name->get<std::string>().empty()) {
    throw MaterialLibraryError(where + "no name");
  }
  const std::vector<MaterialProperty>& properties = MaterialProperties(kind);
  const auto& extras = kind == MaterialKind::Solvent ? kSolventExtras : kPolymerExtras;
  for (const auto& item : object.items()) {
    // A named reference, not a structured binding: clang 14 cannot capture a binding.
    const std::string& member = item.key();
    const bool known = extras.contains(member) ||
                       std::any_of(properties.begin(), properties.end(),
                                   [&](const MaterialProperty& p) { return GroupOf(p.member) == member; });
    if (!known) throw MaterialLibraryError(where + "unknown member \"" + member + "\"");
  }
  Material material{kind, key, name->get<std::string>(), {}, fromUser, {}, {}};
  for (const MaterialProperty& property : properties) material.values.push_back(ReadValue(object, property, where));
  if (kind == MaterialKind::Solvent) CheckSolvent(material, where);
  ReadModelData(material, object, where);
  return material;
}

void AddOrReplace(std::vector<Material>& list, Material material) {
  const auto same = std::find_if(list.begin(), list.end(), [&](const Material& m) { return m.key == material.key; });
  if (same != list.end()) {
    *same = std::move(material);
  } else {
    list.push_back(std::move(material));
  }
}

std::optional<std::string> ReadFileText(const std::string& path, std::string_view what) {
  FileSource file(path, what);
  return ReadWholeInput(file, MaxLibraryLength);
}

bool Exists(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

// The JSON form of a material as the user's library keeps it.
OrderedJson JsonOf(const Material& m) {
  OrderedJson object;
  object["name"] = m.name;
  const std::vector<MaterialProperty>& properties = MaterialProperties(m.kind);
  for (std::size_t i = 0; i < properties.size(); ++i) {
    if (!m.values[i]) continue;
    const std::string_view member = properties[i].member;
    const std::size_t dot = member.find('.');
    if (dot != std::string_view::npos) {
      object[std::string(member.substr(0, dot))][std::string(member.substr(dot + 1))] = *m.values[i];
      object[std::string(member.substr(0, dot))]["source"] = "user";
    } else {
      object[std::string(member)] = {{"value", *m.values[i]}, {"source", "user"}};
    }
  }
  return object;
}

}  // namespace

const std::vector<MaterialProperty>& MaterialProperties(MaterialKind kind) {
  return kind == MaterialKind::Solvent ? kSolventProperties : kPolymerProperties;
}

std::vector<std::string> Material::MissingForRun() const {
  std::vector<std::string> missing;
  const std::vector<MaterialProperty>& properties = MaterialProperties(kind);
  for (std::size_t i = 0; i < properties.size(); ++i) {
    if (properties[i].neededForRun && !values[i]) missing.emplace_back(properties[i].caption);
  }
  return missing;
}

const PairValues* Material::Pair(std::string_view solventKey) const {
  for (const auto& [key, values] : interactions) {
    if (key == solventKey) return &values;
  }
  return nullptr;
}

const Material* MaterialLibrary::Find(MaterialKind kind, std::string_view key) const {
  const std::vector<Material>& list = kind == MaterialKind::Solvent ? solvents : polymers;
  const auto it = std::find_if(list.begin(), list.end(), [&](const Material& m) { return m.key == key; });
  return it == list.end() ? nullptr : &*it;
}

double AntoineTemperature(double a, double b, double c, double pressure) {
  return b / (a - std::log10(pressure)) - c;
}

void ParseMaterials(std::string_view json, const std::string& origin, MaterialLibrary& library, bool fromUser) {
  const OrderedJson root = OrderedJson::parse(json.begin(), json.end(), nullptr, false);
  if (root.is_discarded() || !root.is_object()) Refuse(origin, "it is not a JSON object");
  if (root.value("format", std::string()) != FormatTag) {
    Refuse(origin, "its \"format\" is not \"" + std::string(FormatTag) + "\"");
  }
  MaterialLibrary read = library;
  try {
    for (const auto& [list, kind] : {std::pair{"solvents", MaterialKind::Solvent}, {"polymers", MaterialKind::Polymer}}) {
      const auto section = root.find(list);
      if (section == root.end()) continue;
      if (!section->is_object()) throw MaterialLibraryError(std::string("\"") + list + "\" is not an object");
      for (const auto& [key, object] : section->items()) {
        AddOrReplace(kind == MaterialKind::Solvent ? read.solvents : read.polymers,
                     ReadMaterial(kind, key, object, fromUser));
      }
    }
  } catch (const MaterialLibraryError& e) {
    Refuse(origin, e.what());
  }
  library = std::move(read);
}

std::string ShippedMaterialsPath() {
  const std::string name = "materials.json";
  if (const char* dir = std::getenv("TOVIMAR_DATA_DIR"); dir != nullptr && *dir != '\0') {
    return (std::filesystem::path(dir) / name).string();
  }
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  std::vector<std::filesystem::path> candidates;
  if (!error) candidates.push_back(program.parent_path().parent_path() / "share" / "tovimar" / name);
  candidates.emplace_back(std::filesystem::path(TOVIMAR_INSTALL_DATA_DIR) / name);
  candidates.emplace_back(std::filesystem::path(TOVIMAR_SOURCE_DATA_DIR) / name);
  for (const std::filesystem::path& candidate : candidates) {
    if (Exists(candidate)) return candidate.string();
  }
  return candidates.back().string();
}

std::string UserMaterialsPath() {
  std::filesystem::path base;
  if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data == '/') {
    base = data;
  } else {
    const char* home = std::getenv("HOME");
    base = std::filesystem::path(home != nullptr ? home : ".") / ".local" / "share";
  }
  return (base / "tovimar" / "materials.json").string();
}

MaterialLibrary LoadMaterialLibrary() {
  MaterialLibrary library;
  const std::string shipped = ShippedMaterialsPath();
  const std::optional<std::string> text = ReadFileText(shipped, "materials library");
  if (!text) Refuse(shipped, "it is longer than " + SizeText(MaxLibraryLength));
  ParseMaterials(*text, shipped, library);
  const std::string user = UserMaterialsPath();
  if (Exists(user)) {
    const std::optional<std::string> own = ReadFileText(user, "materials library");
    if (!own) Refuse(user, "it is longer than " + SizeText(MaxLibraryLength));
    ParseMaterials(*own, user, library, true);
  }
  return library;
}

void AddUserMaterial(const Material& material) {
  const std::string path = UserMaterialsPath();
  OrderedJson root{{"format", FormatTag}, {"version", 1}};
  if (Exists(path)) {
    const std::optional<std::string> text = ReadFileText(path, "materials library");
    if (!text) Refuse(path, "it is longer than " + SizeText(MaxLibraryLength));
    MaterialLibrary check;
    ParseMaterials(*text, path, check, true);  // a refused file is not overwritten
    root = OrderedJson::parse(*text);
  }
  const char* list = material.kind == MaterialKind::Solvent ? "solvents" : "polymers";
  root[list][material.key] = JsonOf(material);
  const std::string text = root.dump(2) + "\n";
  MaterialLibrary check;
  ParseMaterials(text, path, check, true);
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
  WriteTextFile(path, text, "materials library");
}

}  // namespace tovimar
