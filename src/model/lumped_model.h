#pragma once

#include <vector>

#include "model/drying_model.h"
#include "model/step_check.h"

// The lumped model behind the seam: the march of model.h (PrepareInitialState, MarchZone,
// CarryToNextZone) and the step check of step_check.h.
namespace tovimar {

// The step check's numbers: StepCheckWebTemp (K) and StepCheckResidual.
const std::vector<CheckQuantity>& LumpedCheckQuantities();

// The step check's result in the seam's terms: StepCheckLine, StepCheckWarning for the
// conditions' Increment of z, and the two numbers when it completed.
ModelCheckResult LumpedCheckResult(const StepCheckResult& result, double stepLength);

}  // namespace tovimar
