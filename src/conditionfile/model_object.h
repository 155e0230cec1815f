#pragma once

#include <nlohmann/json.hpp>

#include "model/drying_model.h"

// The line file's "Model" object: the drying model and its parameters by the names of
// model/model_settings.h, for example
//
//   "Model": {"Model": "diffusion", "DiffusionCells": 60, "D0_1": 4.82e-4,
//             "ZoneMassTransferCoef1": {"2": 0.05}}
//
// Every key may be left out (its default applies); the zone rows are objects keyed by the
// zone number ("1" to "14"), as the line file's other zone settings.
namespace tovimar {

// The choice the object holds; throws LineFileError naming the key of a value refused.
ModelChoice ReadModelObject(const nlohmann::json& object);

// The object of `choice`: the model's name and every value that differs from its default.
nlohmann::ordered_json ModelObject(const ModelChoice& choice);

// Whether `choice` is the default (the lumped model with the default parameters): a line
// file then leaves the object out, as files were written before it existed.
bool IsDefaultModelChoice(const ModelChoice& choice);

}  // namespace tovimar
