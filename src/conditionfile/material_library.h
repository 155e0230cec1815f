#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/errors.h"

namespace tovimar {

// The materials library: solvents and polymers picked by name, with the property values a run
// uses. It is read from the shipped file (materials.json in the data directory) and the
// user's own file (UserMaterialsPath()), whose entries add to the shipped ones and replace a
// shipped entry of the same key. Both have the shape
//
//   {"format": "tovimar-materials", "version": 1,
//    "solvents": {KEY: {"name": TEXT, "molarMass": {"value": NUMBER, "source": ...}, ...}},
//    "polymers": {KEY: {...}}}
//
// (docs/materials.md describes every member). A property that is absent is not known.

// A library file whose content is refused; the message names the file, the key and the member.
class MaterialLibraryError : public UserError {
 public:
  explicit MaterialLibraryError(const std::string& message) : UserError(ErrorKind::Input, message) {}
};

// One property of a material: its library member, what it is called in messages, and the
// range a value must lie in (exclusive below, inclusive above).
struct MaterialProperty {
  std::string_view member;  // "molarMass", "antoine.A"
  std::string_view caption; // "molar mass"
  double above = 0;         // a value must be greater than this ...
  double atMost = 0;        // ... and not greater than this
  bool neededForRun = true; // a run cannot use the material without it
};

enum class MaterialKind { Solvent, Polymer };

// The properties of each kind, in the order of MaterialValues::values.
const std::vector<MaterialProperty>& MaterialProperties(MaterialKind kind);

// A solvent's properties (MaterialKind::Solvent), by index into MaterialProperties.
enum SolventValue : int {
  MolarMass, AntoineA, AntoineB, AntoineC, AntoineTMin, AntoineTMax, NormalBoilingPoint,
  HeatOfVaporization, SolventSpecificHeat, SolventDensity, DiffusivityInAir, LowerExplosiveLimit
};
// A polymer's properties (MaterialKind::Polymer).
enum PolymerValue : int { PolymerDensity, PolymerSpecificHeat, PolymerMolarMass };

// A material's free-volume parameters of the diffusion model: a solvent's V1*, K11/gamma and
// K21 - Tg1, a polymer's V2*, K12/gamma and K22 - Tg2 (the library's "freeVolume"); none
// where the library gives none.
struct FreeVolume {
  std::optional<double> holeVolume;   // cm3/g
  std::optional<double> k1OverGamma;  // cm3/(g K)
  std::optional<double> k2MinusTg;    // K
};

// What a polymer's "interactions" give for it with one solvent.
struct PairValues {
  std::optional<double> chi;  // Flory-Huggins interaction parameter
  std::optional<double> xi;   // the solvent's jumping unit over the polymer's
  std::optional<double> D0;   // cm2/s
  std::optional<double> E;    // J/mol
};

struct Material {
  MaterialKind kind = MaterialKind::Solvent;
  std::string key;    // "ethyl-acetate"
  std::string name;   // "Ethyl acetate"
  std::vector<std::optional<double>> values;  // one per MaterialProperties(kind)
  bool fromUser = false;  // read from the user's library
  FreeVolume freeVolume;
  std::vector<std::pair<std::string, PairValues>> interactions;  // a polymer's, by solvent key

  [[nodiscard]] const std::optional<double>& Value(int property) const {
    return values[static_cast<std::size_t>(property)];
  }
  // The captions of the properties a run needs that the library does not hold; empty when the
  // material can be used.
  [[nodiscard]] std::vector<std::string> MissingForRun() const;
  // A polymer's values with the solvent `solventKey`; nullptr when the library gives none.
  [[nodiscard]] const PairValues* Pair(std::string_view solventKey) const;
};

struct MaterialLibrary {
  std::vector<Material> solvents;  // in file order, the user's after the shipped ones
  std::vector<Material> polymers;

  // The material of `kind` with this key; nullptr when there is none.
  [[nodiscard]] const Material* Find(MaterialKind kind, std::string_view key) const;
};

// The temperature (deg C) at which the Antoine constants give `pressure` mmHg.
double AntoineTemperature(double a, double b, double c, double pressure);

// The materials of the JSON text `json` into `library` (a key already there is replaced);
// `origin` names the file in messages. Throws MaterialLibraryError for text that is not
// JSON, a missing format tag or name, an unknown member, and a value that is not a finite
// number in its range; a solvent's Antoine constants must reproduce its normal boiling point
// within 0.5 K, and the boiling point lie in their validity range.
void ParseMaterials(std::string_view json, const std::string& origin, MaterialLibrary& library,
                    bool fromUser = false);

// Where the shipped library is: $TOVIMAR_DATA_DIR/materials.json when that variable is set;
// otherwise the first that exists of <program directory>/../share/tovimar/materials.json,
// the installed data directory's and the source tree's data/materials.json.
std::string ShippedMaterialsPath();

// The user's library: $XDG_DATA_HOME/tovimar/materials.json (XDG_DATA_HOME defaulting to
// ~/.local/share).
std::string UserMaterialsPath();

// The shipped library and the user's (when it exists). Throws FileError when a file cannot be
// read and MaterialLibraryError when its content is refused.
MaterialLibrary LoadMaterialLibrary();

// Adds `material` to the user's library file (created with its directory when missing; an
// entry of the same key is replaced), after the checks ParseMaterials makes. Throws
// MaterialLibraryError for a refused material and FileError when the file cannot be written.
void AddUserMaterial(const Material& material);

}  // namespace tovimar
