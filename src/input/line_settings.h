#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/conditions.h"
#include "model/drying_model.h"

namespace tovimar {

// A setting kept per zone: one optional value for each zone 1..MaxZones (index 0 unused).
using ZoneSetting = std::array<std::optional<double>, MaxZones + 1>;

// The design search last set up on the Optimise page, in the batch tool's text forms:
// "max:LineSpeed", "LineSpeed=0.1:3", "LineEndResidualSolvent<=2". Empty: none set up.
struct OptimiseSetup {
  std::string objective;
  std::vector<std::string> variables;
  std::vector<std::string> limits;
};

// The calibration last set up on the Fit page: the measurement file, the parameters to fit
// ("Keff", "We=0:1") and the standard deviations given ("web temperature (C)=0.5").
struct FitSetup {
  std::string measurementFile;
  std::vector<std::string> parameters;
  std::vector<std::string> standardDeviations;
};

// Inputs of the line that the 120-line data file cannot hold: what judging a run (residual
// solvent, boiling, exhaust safety) needs besides the drying conditions. Kept in the JSON
// line file (conditionfile/line_file.h). The defaults here are the settings' defaults; every
// setting besides the two set-ups has its entry in the line-setting catalogue
// (input/line_catalogue.h), which reads, writes, names and checks it.
struct LineSettings {
  // Coated width of the web, m; turns the per-area evaporation into an hourly solvent load.
  double WebWidth = 1;
  // Exhaust air flow of each zone, m3/h at 0 deg C and 101.325 kPa, indexed by zone as the
  // other zone arrays. None: no flow given, so the zone's solvent concentration is not
  // judged. 0 is a flow: a zone without exhaust air, whose concentration has no bound as
  // soon as it evaporates solvent.
  ZoneSetting ZoneExhaustFlow{};
  // Lower explosive limits of the solvent vapours in air, volume %. The defaults are typical
  // of a ketone (solvent-1) and an aromatic (solvent-2) of the default molecular weights.
  double LEL1 = 1.4;
  double LEL2 = 1.1;
  // Highest allowed concentration of the exhaust, % of the mixture's LEL.
  double LELLimit = 25;
  // A zone's own limit in % of LEL (for example 50 where the zone has continuous solvent
  // monitoring); none: the zone uses LELLimit.
  ZoneSetting ZoneLELLimit{};
  // Residual solvent (both solvents) the line should reach, g/m2; none: no target.
  std::optional<double> ResidualTarget;
  // Least distance of the web temperature below the coating's bubble temperature, K.
  double BoilingMarginMin = 0;
  // The keys of the materials library's solvents and polymer whose values the entries hold
  // (conditionfile/material_choice.h); empty: the values as entered.
  std::string Solvent1;
  std::string Solvent2;
  std::string Polymer;
  // The entries of the named materials whose texts differ from the library's values of them
  // (a later --set or an edit changed them), by condition field name ("HeatOfVaporization1"),
  // with the texts in use: with the names they repeat the run. The line file's
  // "MaterialOverrides".
  std::vector<std::pair<std::string, std::string>> MaterialOverrides;
  // The drying model of the line's runs and its parameters (the line file's "Model").
  ModelChoice Model;
  // What the Optimise and Fit pages were last set to, kept with the line.
  OptimiseSetup Optimise;
  FitSetup Fit;

  // The % of LEL limit that applies to zone `zone` (1..MaxZones).
  [[nodiscard]] double LELLimitOfZone(int zone) const {
    return ZoneLELLimit[static_cast<std::size_t>(zone)].value_or(LELLimit);
  }
};

}  // namespace tovimar
