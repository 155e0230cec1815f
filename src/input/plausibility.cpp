// Warnings about conditions that can be run but are unlikely to be meant.
#include "input/plausibility.h"

#include <algorithm>
#include <cmath>

#include "input/field_catalogue.h"
#include "model/number_text.h"

namespace tovimar {

namespace {

constexpr double AbsoluteZero = -273.15;  // deg C
constexpr double RatioSumTolerance = 0.001;

std::string Number(double value) { return ShortNumber(value, 6); }

// Zone lengths and the lengths they march differ by more than this part of the length
// only when the zone is not a whole number of Increments of z (not by rounding alone).
constexpr double MarchedLengthTolerance = 1e-6;

// The window caption without its indentation and trailing spaces.
std::string Caption(const ConditionField& field) {
  const std::string& text = field.caption;
  const auto first = text.find_first_not_of(' ');
  const auto last = text.find_last_not_of(' ');
  return first == std::string::npos ? text : text.substr(first, last - first + 1);
}

// Runs of spaces as one.
std::string OneSpaced(std::string text) {
  text.erase(std::unique(text.begin(), text.end(), [](char a, char b) { return a == ' ' && b == ' '; }),
             text.end());
  return text;
}

// The caption; where the caption leaves out whose quantity it is ("Specific Heat (kJ/kg.K)"
// stands under the window's "Polymer" title), the condition-section label, which says it.
std::string Named(const ConditionField& field) {
  std::string name = Caption(field);
  if (field.zone == 0 && OneSpaced(field.label) != name) {
    return field.label;
  }
  if (field.zone > 0) {
    name += " of zone " + std::to_string(field.zone);
  }
  return name;
}

bool IsBlank(const std::string& text) { return text.find_first_not_of(" \t") == std::string::npos; }

bool ZoneIsFilledIn(const EntryTexts& entries, const ConditionOverrides& overrides, int zone) {
  for (int column = 1; column <= ZoneColumns; ++column) {
    const ConditionField& field = ZoneField(zone, column);
    if (overrides.Find(field) || !IsBlank(entries.Text(field.entryName))) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::vector<std::string> PlausibilityWarnings(const DryingConditions& c,
                                              const EntryTexts& entries,
                                              const ConditionOverrides& overrides) {
  std::vector<std::string> warnings;
  const double sum = c.SolidRatio0 + c.Solvent1Ratio0 + c.Solvent2Ratio0;
  if (!(std::fabs(sum - 1) <= RatioSumTolerance)) {
    warnings.push_back("The weight ratios of solid, solvent-1 and solvent-2 add up to " +
                       Number(sum) + ", not 1.");
  }

  // Fields of the general part and of the zones that run.
  std::vector<const ConditionField*> temperatures{FindField("InitialTemp")};
  std::vector<const ConditionField*> nonNegative;
  for (const char* name : {"CoatingWeight0", "BaseFilmWeight", "LineSpeed", "StepLength",
                           "AirDiffusivity1", "AirDiffusivity2", "SolidRatio0", "Solvent1Ratio0",
                           "Solvent2Ratio0", "PolymerCp", "Solvent1Cp", "Solvent2Cp", "BaseFilmCp",
                           "HeatOfVaporization1", "HeatOfVaporization2", "Keff"}) {
    nonNegative.push_back(FindField(name));
  }
  for (int zone = 1; zone <= c.ZoneCount && zone <= MaxZones; ++zone) {
    temperatures.push_back(&ZoneField(zone, 1));
    // length, both absolute humidities and both heat-transfer coefficients
    for (int column : {2, 3, 4, 5, 6}) {
      nonNegative.push_back(&ZoneField(zone, column));
    }
  }
  for (const ConditionField* field : temperatures) {
    const double value = field->Value(c);
    if (value < AbsoluteZero) {
      warnings.push_back(Named(*field) + " is " + Number(value) + ", below absolute zero.");
    }
  }
  for (const ConditionField* field : nonNegative) {
    const double value = field->Value(c);
    if (value < 0) {
      warnings.push_back(Named(*field) + " is negative (" + Number(value) + ").");
    }
  }

  // A zone marches a whole number of Increments of z: the nearest to its length.
  for (int zone = 1; zone <= c.ZoneCount && zone <= MaxZones; ++zone) {
    const auto z = static_cast<std::size_t>(zone);
    const double length = c.ZoneLength[z];
    const std::int32_t steps = c.ZoneStepCount[z];
    const double marched = steps * c.StepLength;
    if (std::fabs(marched - length) > MarchedLengthTolerance * std::fabs(length)) {
      warnings.push_back(Named(ZoneField(zone, 2)) + " is " + Number(length) +
                         ", not a whole number of Increments of z (" + Number(c.StepLength) +
                         " m): the zone marches " + Number(marched) + " m in " + std::to_string(steps) +
                         (steps == 1 ? " step." : " steps."));
    }
  }

  // Zones after the end of the chain: they are read only as far as the chain goes.
  const int end = c.ZoneCount + 1;
  int first = 0, last = 0;
  for (int zone = end + 1; zone <= MaxZones; ++zone) {
    if (ZoneIsFilledIn(entries, overrides, zone)) {
      first = first == 0 ? zone : first;
      last = zone;
    }
  }
  if (first != 0) {
    const std::string zones = first == last ? "Zone " + std::to_string(first) + " is"
                                            : "Zones " + std::to_string(first) + " to " +
                                                  std::to_string(last) + " are";
    warnings.push_back(zones + " filled in but will not run: zone " + std::to_string(end) +
                       " has no Outer Temperature.");
  }
  return warnings;
}

}  // namespace tovimar
