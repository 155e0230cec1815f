#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <string>
#include <string_view>
#include <vector>

#include "model/conditions.h"
#include "model/drying_model.h"

// The names of the drying model's choice and parameters as the user sets them (the line
// file's "Model" object, `--set`, the window): one row per name with its unit, caption,
// range and the member of ModelChoice it sets. The defaults are DefaultDiffusionParameters'.
namespace tovimar {

enum class ModelSettingKind {
  Name,    // the model: "lumped" or "diffusion"
  Count,   // a whole number
  Number,  // a number
  Zone,    // a number per zone, named "Name[k]" for zone k = 1..MaxZones
};

struct ModelSetting {
  std::string_view name;     // "D0_1"; a zone row without its "[k]"
  ModelSettingKind kind = ModelSettingKind::Number;
  std::string_view unit;     // "cm2/s"; empty for a ratio
  std::string_view caption;  // "pre-exponential factor of solvent-1's self-diffusion"
  double minimum = 0;        // the range, both ends allowed
  double maximum = 0;
  std::string_view tip;      // what a value means beyond the caption; may be empty
  std::int32_t DiffusionModelParameters::*count = nullptr;
  double DiffusionModelParameters::*number = nullptr;
  ZoneArray DiffusionModelParameters::*zones = nullptr;
};

// Every row, the model's name first.
const std::vector<ModelSetting>& ModelSettings();

// A name resolved to its row and, for a zone row, the zone ("ZoneMassTransferCoef1[3]").
struct ModelSettingName {
  const ModelSetting* setting = nullptr;
  std::int32_t zone = 0;
};
// None when the name is not one of the rows (or its zone is not 1..MaxZones).
std::optional<ModelSettingName> FindModelSetting(std::string_view name);

// The value of a numeric row in `choice` (zone rows: of `zone`), and its default.
double ModelSettingValue(const ModelChoice& choice, const ModelSettingName& name);
double ModelSettingDefault(const ModelSettingName& name);

// Sets a row from its text ("diffusion", "40", "4.82e-4"), the number read by `parse`
// (none: not a number). Throws InputError naming the setting, its text and its range when
// the text is not a value of it.
void SetModelSetting(ModelChoice& choice, const ModelSettingName& name, std::string_view text,
                     std::optional<double> (*parse)(std::string_view));

// Sets a numeric row to `value`; false (and `choice` unchanged) when the value lies beyond
// the row's range or is not whole for a count.
bool SetModelValue(ModelChoice& choice, const ModelSettingName& name, double value);

// "D0_1 (cm2/s)", "ZoneMassTransferCoef1[3] (m/s)".
std::string ModelSettingTitle(const ModelSettingName& name);

// The parameters of a run of `choice` as "name = value" rows in the shortest form that reads
// back exactly (zone rows only where set): for a result file or a report. Empty for the
// lumped model, which has none.
std::vector<std::pair<std::string, std::string>> ModelParameterRows(const ModelChoice& choice);

}  // namespace tovimar
