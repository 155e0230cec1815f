#pragma once

#include <string_view>

namespace tovimar {

// Whether `warning` is SkinWarning's text (judging.h): a prediction of the diffusion model
// that the residual target judges, not a limit of its own.
bool IsSkinWarning(std::string_view warning);

}  // namespace tovimar
