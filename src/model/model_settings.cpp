// The names of the drying model's choice and parameters, one table.
#include "model/model_settings.h"

#include <charconv>
#include <system_error>

#include "model/errors.h"

namespace tovimar {

namespace {

using K = ModelSettingKind;
using P = DiffusionModelParameters;

ModelSetting Row(std::string_view name, K kind, std::string_view unit, std::string_view caption,
                 double minimum, double maximum) {
  ModelSetting s;
  s.name = name;
  s.kind = kind;
  s.unit = unit;
  s.caption = caption;
  s.minimum = minimum;
  s.maximum = maximum;
  return s;
}

ModelSetting Number(std::string_view name, std::string_view unit, std::string_view caption, double minimum,
                    double maximum, double P::*member) {
  ModelSetting s = Row(name, K::Number, unit, caption, minimum, maximum);
  s.number = member;
  return s;
}

ModelSetting Zones(std::string_view name, std::string_view caption, ZoneArray P::*member) {
  ModelSetting s = Row(name, K::Zone, "m/s", caption, 0, 10);
  s.zones = member;
  s.tip = "0 takes the coefficient from the zone's upper heat-transfer coefficient times Keff.";
  return s;
}

std::vector<ModelSetting> MakeSettings() {
  std::vector<ModelSetting> rows;
  rows.push_back(Row("Model", K::Name, "", "drying model (lumped or diffusion)", 0, 0));
  ModelSetting cells = Row("DiffusionCells", K::Count, "", "cells through the coating", MinDiffusionCells,
                           MaxDiffusionCells);
  cells.count = &P::DiffusionCells;
  rows.push_back(cells);
  rows.push_back(Number("D0_1", "cm2/s", "pre-exponential factor of solvent-1's self-diffusion", 1e-12, 10, &P::D0_1));
  rows.push_back(Number("D0_2", "cm2/s", "pre-exponential factor of solvent-2's self-diffusion", 1e-12, 10, &P::D0_2));
  rows.push_back(Number("ActivationEnergy1", "J/mol", "activation energy of solvent-1's diffusion", 0, 2e5,
                        &P::ActivationEnergy1));
  rows.push_back(Number("ActivationEnergy2", "J/mol", "activation energy of solvent-2's diffusion", 0, 2e5,
                        &P::ActivationEnergy2));
  rows.push_back(Number("HoleVolume1", "cm3/g", "hole free volume solvent-1 needs for a jump (V*)", 0.01, 5,
                        &P::HoleVolume1));
  rows.push_back(Number("HoleVolume2", "cm3/g", "hole free volume solvent-2 needs for a jump (V*)", 0.01, 5,
                        &P::HoleVolume2));
  rows.push_back(Number("K1Gamma1", "cm3/(g K)", "free-volume parameter K1/gamma of solvent-1", 1e-6, 1, &P::K1Gamma1));
  rows.push_back(Number("K1Gamma2", "cm3/(g K)", "free-volume parameter K1/gamma of solvent-2", 1e-6, 1, &P::K1Gamma2));
  rows.push_back(Number("K2MinusTg1", "K", "free-volume parameter K2 - Tg of solvent-1", -1000, 1000, &P::K2MinusTg1));
  rows.push_back(Number("K2MinusTg2", "K", "free-volume parameter K2 - Tg of solvent-2", -1000, 1000, &P::K2MinusTg2));
  rows.push_back(Number("Xi1", "", "solvent-1's jumping unit over the polymer's (xi)", 0.01, 10, &P::Xi1));
  rows.push_back(Number("Xi2", "", "solvent-2's jumping unit over the polymer's (xi)", 0.01, 10, &P::Xi2));
  rows.push_back(Number("HoleVolumePolymer", "cm3/g", "hole free volume the polymer needs for a jump (V*)", 0.01,
                        5, &P::HoleVolumePolymer));
  rows.push_back(Number("K1GammaPolymer", "cm3/(g K)", "free-volume parameter K1/gamma of the polymer", 1e-6, 1,
                        &P::K1GammaPolymer));
  rows.push_back(Number("K2MinusTgPolymer", "K", "free-volume parameter K2 - Tg of the polymer", -1000, 1000,
                        &P::K2MinusTgPolymer));
  rows.push_back(Zones("ZoneMassTransferCoef1", "mass-transfer coefficient of solvent-1", &P::ZoneMassTransferCoef1));
  rows.push_back(Zones("ZoneMassTransferCoef2", "mass-transfer coefficient of solvent-2", &P::ZoneMassTransferCoef2));
  return rows;
}

std::string Shortest(double value) {
  char buffer[32];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return error == std::errc() ? std::string(buffer, end) : std::string("?");
}

std::string RangeText(const ModelSetting& s) {
  if (s.kind == K::Name) return "\"lumped\" or \"diffusion\"";
  return Shortest(s.minimum) + " to " + Shortest(s.maximum);
}

}  // namespace

const std::vector<ModelSetting>& ModelSettings() {
  static const std::vector<ModelSetting> rows = MakeSettings();
  return rows;
}

std::optional<ModelSettingName> FindModelSetting(std::string_view name) {
  std::int32_t zone = 0;
  std::string_view base = name;
  if (const std::size_t open = name.find('['); open != std::string_view::npos) {
    if (name.back() != ']') return std::nullopt;
    const std::string_view digits = name.substr(open + 1, name.size() - open - 2);
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), zone);
    if (error != std::errc() || end != digits.data() + digits.size() || zone < 1 || zone > MaxZones) {
      return std::nullopt;
    }
    base = name.substr(0, open);
  }
  for (const ModelSetting& s : ModelSettings()) {
    if (s.name == base && (s.kind == K::Zone) == (zone > 0)) return ModelSettingName{&s, zone};
  }
  return std::nullopt;
}

double ModelSettingValue(const ModelChoice& choice, const ModelSettingName& name) {
  const ModelSetting& s = *name.setting;
  const P& p = choice.diffusion;
  switch (s.kind) {
    case K::Name:
      return 0;
    case K::Count:
      return p.*s.count;
    case K::Number:
      return p.*s.number;
    case K::Zone:
      return (p.*s.zones)[static_cast<std::size_t>(name.zone)];
  }
  return 0;
}

double ModelSettingDefault(const ModelSettingName& name) {
  return ModelSettingValue(ModelChoice{}, name);
}

void SetModelSetting(ModelChoice& choice, const ModelSettingName& name, std::string_view text,
                     std::optional<double> (*parse)(std::string_view)) {
  const ModelSetting& s = *name.setting;
  const std::string title = ModelSettingTitle(name);
  if (s.kind == K::Name) {
    if (text != LumpedModelName && text != DiffusionModelName) {
      throw InputError(title + " is \"" + std::string(text) + "\"; it must be " + RangeText(s) + ".");
    }
    choice.name = std::string(text);
    return;
  }
  const std::optional<double> value = parse(text);
  if (!value || !SetModelValue(choice, name, *value)) {
    throw InputError(title + " is \"" + std::string(text) + "\"; it must be " +
                     (s.kind == K::Count ? "a whole number from " : "a number from ") + RangeText(s) + ".");
  }
}

bool SetModelValue(ModelChoice& choice, const ModelSettingName& name, double value) {
  const ModelSetting& s = *name.setting;
  if (s.kind == K::Name || !(value >= s.minimum && value <= s.maximum)) return false;
  if (s.kind == K::Count && value != static_cast<double>(static_cast<std::int64_t>(value))) return false;
  P& p = choice.diffusion;
  if (s.kind == K::Count) p.*s.count = static_cast<std::int32_t>(value);
  if (s.kind == K::Number) p.*s.number = value;
  if (s.kind == K::Zone) (p.*s.zones)[static_cast<std::size_t>(name.zone)] = value;
  return true;
}

std::string ModelSettingTitle(const ModelSettingName& name) {
  std::string title(name.setting->name);
  if (name.zone > 0) title.append("[").append(std::to_string(name.zone)).append("]");
  if (!name.setting->unit.empty()) title.append(" (").append(name.setting->unit).append(")");
  return title;
}

std::vector<std::pair<std::string, std::string>> ModelParameterRows(const ModelChoice& choice) {
  std::vector<std::pair<std::string, std::string>> rows;
  if (choice.name != DiffusionModelName) return rows;
  for (const ModelSetting& s : ModelSettings()) {
    if (s.kind == K::Name) {
      rows.emplace_back(std::string(s.name), choice.name);
    } else if (s.kind == K::Zone) {
      for (std::int32_t z = 1; z <= MaxZones; ++z) {
        const ModelSettingName name{&s, z};
        if (const double v = ModelSettingValue(choice, name); v != 0) {
          rows.emplace_back(ModelSettingTitle(name), Shortest(v));
        }
      }
    } else {
      rows.emplace_back(ModelSettingTitle({&s, 0}), Shortest(ModelSettingValue(choice, {&s, 0})));
    }
  }
  return rows;
}

}  // namespace tovimar
